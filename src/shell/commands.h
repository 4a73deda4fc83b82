#pragma once

// The routines of the commands (commandtable.h) and of the canvas's shortcuts.

#include <QPrinter>
#include <functional>
#include <memory>

class Program;
class QString;

// Copies the canvas, as shown, to the clipboard; a failure is reported.
void CopyCanvas(Program& program);
// Erases the drawing.
void EraseCanvas(Program& program);

// Photographs the canvas as it is shown, without its one-pixel frame and with the toolbox out of
// the way: to the clipboard (destination 1) or into picbox (any other value). Throws ProgramError
// when the canvas cannot be read from the screen.
void SnapshotCanvas(Program& program, int destination);

// Image files and printing.
void SaveImage(Program& program);
void OpenImage(Program& program);
// Opening a given file, as OpenImage does after its dialog; a file that cannot be read is reported.
void OpenImageFile(Program& program, const QString& fileName);
// Opens the file a request names (as filenames::toArgument gives it), or, when it names none,
// asks for one as OpenImage does. A name longer than the system takes names no file.
void OpenImageOrFile(Program& program, const QString& file);
void PrintImage(Program& program);

// Help, About and the options dialog.
void ShowHelp(Program& program);
void ShowAbout(Program& program);          // modal
void ShowAboutModeless(Program& program);  // from the toolbox
void ShowOptions(Program& program);        // not modal
