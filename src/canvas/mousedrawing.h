#pragma once

// Mouse handlers of the canvas and of its text labels. Buttons: 1 left, 2 right, 4 middle;
// shift: 1 Shift, 2 Ctrl, 4 Alt. Positions are canvas pixels.

#include <QColor>

class Program;

void Form_MouseDown(Program& program, int button, int shift, float x, float y);
void Form_MouseMove(Program& program, int buttons, int shift, float x, float y);
void Form_MouseUp(Program& program, int button, int shift, float x, float y);

// Label handlers use the sampled cursor position, not the label-relative one.
void lblText_MouseDown(Program& program, int index, int button);
void lblText_MouseMove(Program& program, int index, int buttons);

// The colour currently chosen in the toolbox's colour list.
QColor paletteColor(Program& program);
