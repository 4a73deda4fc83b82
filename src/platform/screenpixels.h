#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QVector>
#include <QtGlobal>

// Pixels read from the screen, with the display palette on 256-colour palette displays.
struct CapturedBitmap {
    QImage image;            // exactly width x height, Format_RGB32
    QVector<QRgb> palette;   // empty on true-colour displays
};

class ScreenPixels
{
public:
    virtual ~ScreenPixels() = default;

    // Copies width x height pixels at (left, top) of the window's area on the screen,
    // whatever lies on top of the window at that moment. With client false the origin is
    // the window's outer top-left corner, with client true its client area's.
    // Returns a null image when nothing could be read.
    virtual CapturedBitmap CaptureWindowRect(quintptr hwnd, bool client, int left, int top,
                                             int width, int height) = 0;

    // Whether CaptureWindowRect may be called from a thread other than the GUI thread (one
    // capture at a time).
    virtual bool CapturesOnAnyThread() const { return false; }
};
