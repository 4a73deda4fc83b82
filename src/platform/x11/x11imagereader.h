#pragma once

// Reading pixels of a drawable (the root, a window, or a pixmap the screen was copied into) into
// pictures: through shared memory where the server offers it, plain GetImage otherwise. Only
// libxcb calls, which are safe from any thread; one read at a time.

#include "platform/screenpixels.h"
#include "x11connection.h"
#include "x11pixelformat.h"

#include <QRect>

#include <atomic>
#include <functional>
#include <memory>

struct ShmSegment;

class X11ImageReader
{
public:
    enum class Transfer {
        Auto,  // MIT-SHM when the server offers it and lets us attach, plain GetImage otherwise
        Plain, // always plain GetImage
    };
    X11ImageReader(std::shared_ptr<X11Connection> connection, Transfer transfer);

    const X11PixelLayout& layout() const { return layout_; }
    // Whether reads currently go through shared memory.
    bool usesSharedMemory() const { return shm_; }

    // The whole of `area` of the drawable, which has the root's depth and holds all of it.
    // A null image when the server refused.
    CapturedBitmap read(xcb_drawable_t from, const QRect& area);

    // Reads `area` of the drawable into out's pixels at `at`; false when the server refused.
    bool readInto(xcb_drawable_t from, const QRect& area, QImage* out, QPoint at,
                  const QVector<QRgb>& colormap);

    // The default colormap's colours on a colormapped display; empty on a true-colour one.
    QVector<QRgb> colormap();

private:
    // Reads `area` of the drawable into the segment in bands, calling bandDone(firstRow, rows) as
    // each arrives; with makeBand, that is called before each band is asked for, so making the
    // memory of one band overlaps the server's writing of the band before.
    bool readShm(xcb_drawable_t from, const QRect& area, ShmSegment* segment,
                 const std::function<void(int, int)>& bandDone,
                 const std::function<void(int, int)>& makeBand = {});
    bool readPlain(xcb_drawable_t from, const QRect& area, QImage* out, QPoint at,
                   const QVector<QRgb>& colormap);
    std::unique_ptr<ShmSegment> segment(size_t bytes);

    std::shared_ptr<X11Connection> c_;
    X11PixelLayout layout_;
    std::atomic_bool shm_{false};
};
