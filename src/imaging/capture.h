#pragma once

// Turning screen pixels into pictures.

#include "picture.h"
#include "platform/foregroundwindow.h"

#include <QRect>
#include <QtGlobal>
#include <optional>

class ForegroundWindow;
struct CapturedBitmap;

// Wraps captured pixels (and the palette of a palette display) into a picture. No picture when
// there are no pixels.
Picture CreateBitmapPicture(const CapturedBitmap& bitmap);

// The primary monitor's own rectangle in device pixels, wherever it lies on the desktop.
QRect primaryMonitorRect();

// The canvas placement over a captured window: its size, one pixel left of and above it. No
// placement when the rectangle's arithmetic overflows or the window has no area.
std::optional<QRect> windowCapturePlacement(const WindowRect& r);

// Where the canvas goes over the foreground window; nothing when there is no active window or
// its rectangle makes no sense, and the screen is captured instead.
std::optional<QRect> activeWindowPlacement(ForegroundWindow& foreground);

// The area of the desktop a window capture reads: the window as the user sees it, which the
// canvas placed at `placement` covers.
QRect windowCaptureArea(const QRect& placement);
