#pragma once

// The canvas window's place in twips, the unit that the capture flow remembers it in. Twips
// follow the screen's twips per pixel, so on a scaled desktop they still land on device pixels.

#include <QPoint>

class FrmMain;

// Left and top edges of the canvas in its normal state, in twips.
double canvasLeft(const FrmMain& canvas);
double canvasTop(const FrmMain& canvas);
// Moves the canvas's normal-state rectangle to these edges, or gives it this size, in twips.
void moveCanvasTo(FrmMain& canvas, double leftTwips, double topTwips);
// Moves it to a point of the desktop given in device pixels.
void moveCanvasToPixel(FrmMain& canvas, QPoint topLeft);
void sizeCanvas(FrmMain& canvas, double widthTwips, double heightTwips);
