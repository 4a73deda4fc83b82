#pragma once

// Mouse handlers of the canvas and of its text labels. Each hands the event to the tool it
// belongs to (tools.h): a press to the chosen tool, a move with the left button and the release to
// the tool whose stroke is under way. Buttons: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl,
// 4 Alt. Positions are canvas pixels.

#include <Qt>

class FrmMain;

void Form_MouseDown(FrmMain& canvas, int button, int shift, float x, float y);
void Form_MouseMove(FrmMain& canvas, int buttons, int shift, float x, float y);
void Form_MouseUp(FrmMain& canvas, int button, int shift, float x, float y);

// Label handlers use the sampled cursor position, not the label-relative one.
void lblText_MouseDown(FrmMain& canvas, int index, int button);
void lblText_MouseMove(FrmMain& canvas, int index, int buttons);
// A stroke that began on a label ends with the label's release; it opens no popup menu.
void lblText_MouseUp(FrmMain& canvas, int index, int button);

// The button codes of a mouse event.
int buttonCode(Qt::MouseButton b);
int buttonsCode(Qt::MouseButtons b);
