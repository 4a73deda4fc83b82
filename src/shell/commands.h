#pragma once

// The commands that menus, toolbox buttons and shortcuts share.

class Program;

// Copies the canvas, as shown, to the clipboard; a failure is reported.
void CopyCanvas(Program& program);
// Erases the drawing.
void EraseCanvas(Program& program);

// Image files and printing.
void SaveImage(Program& program);
void OpenImage(Program& program);
void PrintImage(Program& program);

// Help, About and the options dialog.
void ShowHelp(Program& program);
void ShowAbout(Program& program);          // modal
void ShowAboutModeless(Program& program);  // from the toolbox
void ShowOptions(Program& program);        // not modal

// Menu items that just call one of the above.
void menuOpen(Program& program);
void menuAbout(Program& program);
void menuConfig(Program& program);
void menuHelp(Program& program);
