#pragma once

// How the screen's pixels are laid out in a ZPixmap image, and turning rows of them into RGB32.

#include <QImage>
#include <QVector>
#include <QtGlobal>

#include <xcb/xcb.h>

struct X11PixelLayout {
    int depth = 0;
    int bitsPerPixel = 0;
    int scanlinePad = 32;
    bool serverLsbFirst = true;
    quint8 visualClass = XCB_VISUAL_CLASS_TRUE_COLOR;
    quint32 redMask = 0, greenMask = 0, blueMask = 0;
    int colormapEntries = 0;
    bool rgb32 = false; // the bytes already are RGB32 apart from the unused top byte

    // The root window's layout on this screen.
    static X11PixelLayout ofRoot(const xcb_setup_t* setup, const xcb_screen_t* screen);

    int bytesPerLine(int width) const;
    bool trueColor() const
    {
        return visualClass == XCB_VISUAL_CLASS_TRUE_COLOR
               || visualClass == XCB_VISUAL_CLASS_DIRECT_COLOR;
    }
    // A 256-entry palette display, whose pictures carry the palette along.
    bool paletted() const
    {
        return (visualClass == XCB_VISUAL_CLASS_PSEUDO_COLOR
                || visualClass == XCB_VISUAL_CLASS_STATIC_COLOR
                || visualClass == XCB_VISUAL_CLASS_GRAY_SCALE)
               && colormapEntries == 256;
    }

    // Turns `rows` rows of `width` pixels at src (srcBpl bytes apart) into out's pixels at `at`.
    // colormap: the colours of a colormapped display's pixel values.
    void convertRows(const uchar* src, int srcBpl, int rows, int width, QImage* out, QPoint at,
                     const QVector<QRgb>& colormap) const;
};

// Sets the unused top byte of n RGB32 pixels. The X server leaves it at whatever it holds (often
// 0); QImage::Format_RGB32 wants 0xff there, or painting onto an image with alpha turns the
// picture transparent.
void makeOpaque(quint32* p, size_t n);
