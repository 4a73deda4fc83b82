#pragma once

// Turning screen pixels into pictures.

#include "picture.h"
#include "platform/foregroundwindow.h"

#include <QRect>
#include <QtGlobal>
#include <optional>

class ForegroundWindow;
class ScreenPixels;
struct CapturedBitmap;

// Wraps captured pixels (and the palette of a palette display) into a picture. No picture when
// there are no pixels.
Picture CreateBitmapPicture(const CapturedBitmap& bitmap);

// Copies width x height pixels at (left, top) of the window's area on the screen.
Picture CaptureWindowRect(ScreenPixels& screen, quintptr hWnd, bool client, int left, int top,
                          int width, int height);

// The primary monitor's own rectangle in device pixels, wherever it lies on the desktop.
QRect primaryMonitorRect();

// Tells the screen service that CaptureScreen comes soon, so it can make the picture's memory,
// and read the screen, while the caller waits.
void PrepareScreenCapture(ScreenPixels& screen);

// The whole primary monitor, read from the desktop at that rectangle.
Picture CaptureScreen(ForegroundWindow& foreground, ScreenPixels& screen);

// The canvas placement over a captured window: its size, one pixel left of and above it. No
// placement when the rectangle's arithmetic overflows or the window has no area.
std::optional<QRect> windowCapturePlacement(const WindowRect& r);

// The foreground window's pixels and where the canvas goes over them. A null picture when there
// is no active window, its rectangle makes no sense or nothing could be read; the caller then
// captures the screen instead.
struct WindowCapture {
    Picture picture;
    QRect placement;
};
WindowCapture CaptureActiveWindow(ForegroundWindow& foreground, ScreenPixels& screen);
