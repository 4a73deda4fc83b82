#pragma once

// Reading the screen on X11: the root window's pixels, so whatever lies on top is included.

#include "platform/screenpixels.h"
#include "x11connection.h"

#include <QRect>

#include <functional>
#include <future>
#include <memory>
#include <vector>

class X11ScreenPixels : public ScreenPixels
{
public:
    enum class Transfer {
        Auto,  // MIT-SHM when the server offers it and lets us attach, plain GetImage otherwise
        Plain, // always plain GetImage
    };
    enum class Source {
        Root,   // the root window: the screen as shown, whatever lies on top
        Window, // a window's own pixels, for a rootless X server (XWayland), whose root is empty;
                // the root itself is still read from the root
    };
    explicit X11ScreenPixels(std::shared_ptr<X11Connection> connection,
                             Transfer transfer = Transfer::Auto, Source source = Source::Root);
    ~X11ScreenPixels() override;

    CapturedBitmap CaptureWindowRect(quintptr hwnd, bool client, int left, int top, int width,
                                     int height) override;
    // Makes the memory for a capture of this area on a worker thread, shared with the server
    // where it can be; the next capture of about that size reads straight into it. Where the
    // server reports drawing (DAMAGE and XFIXES), the worker also reads the root's area,
    // watching for drawing from before it begins; a capture of that area then reads again only
    // what was drawn since.
    void PrepareCapture(const QRect& area) override;
    // Only libxcb calls, which are safe from any thread.
    bool CapturesOnAnyThread() const override { return true; }

    // Whether captures currently go through shared memory.
    bool usesSharedMemory() const { return shm_; }
    // Whether what PrepareCapture started is done, and how many captures were made from an
    // early read brought up to date.
    bool prepareFinished() const;
    int earlyCaptures() const { return earlyCaptures_; }

    struct Segment;
    // Memory for one picture, outside the allocator's heap, in huge pages where it can be.
    struct PixelBuffer {
        uchar* addr = nullptr; // the pixels, from a huge-page boundary
        size_t size = 0;       // whole pages
        static PixelBuffer make(size_t bytes);
        void release();
    };

private:
    // How the root window's pixels are laid out in a ZPixmap image.
    struct Layout {
        int depth = 0;
        int bitsPerPixel = 0;
        int scanlinePad = 32;
        bool serverLsbFirst = true;
        quint8 visualClass = XCB_VISUAL_CLASS_TRUE_COLOR;
        quint32 redMask = 0, greenMask = 0, blueMask = 0;
        int colormapEntries = 0;
        bool rgb32 = false; // the bytes already are RGB32 apart from the unused top byte
        int bytesPerLine(int width) const;
    };

    QVector<QRgb> readColormap();
    // The window's pixels have the root's layout (it is not, say, a 32-bit ARGB window).
    bool sameDepthAsRoot(xcb_window_t window) const;
    // Reads `area` of the drawable into `out` at `at`; false when the server refused.
    bool readInto(xcb_drawable_t from, const QRect& area, QImage* out, QPoint at,
                  const QVector<QRgb>& colormap);
    // Reads `area` of the drawable into the segment, calling bandDone(firstRow, rows) as each
    // band of rows arrives; false when the server refused. With beforeBand, that is called
    // before each band is asked for, and each band is sent on its own.
    bool readShm(xcb_drawable_t from, const QRect& area, Segment* segment,
                 const std::function<void(int, int)>& bandDone,
                 const std::function<void(int, int)>& beforeBand = {});
    // In bands of at most bandBytes, all asked for before the first answer is read.
    bool readPlain(xcb_drawable_t from, const QRect& area, QImage* out, QPoint at,
                   const QVector<QRgb>& colormap, int bandBytes = 4 << 20);
    void convertRows(const uchar* src, int srcBpl, int rows, int width, QImage* out, QPoint at,
                     const QVector<QRgb>& colormap) const;
    // A new shared-memory segment of `bytes`, its pages made; null when shared memory fails.
    std::unique_ptr<Segment> takeSegment(size_t bytes);
    // A new segment of `size` bytes and the request that attaches it on the server's side;
    // null when the system gives no shared memory.
    std::unique_ptr<Segment> beginSegment(size_t size, xcb_void_cookie_t* attach);
    // Waits for that request; on refusal the segment is unmapped and false returned.
    bool finishAttach(Segment& segment, xcb_void_cookie_t attach);
    // What PrepareCapture made.
    struct Prepared {
        std::unique_ptr<Segment> segment; // shared memory, where captures use it
        PixelBuffer buffer;               // or private memory
        QRect area;         // of the root, read into that memory; empty when it was not read
        quint32 damage = 0; // the drawing on the root since before that read
        uchar* pixels() const;
        size_t size() const;
    };
    // What PrepareCapture made, if its buffer is at least `bytes` and not much more; any other
    // is let go.
    Prepared takePrepared(size_t bytes);
    // Waits for what PrepareCapture started, if anything, and lets it go.
    void dropPrepared();
    void release(Prepared& prepared);
    // The picture over the prepared memory, which it now owns; the rest is let go.
    QImage handOut(Prepared& prepared, int width, int height);
    // Reads again, into `into`, what was drawn on the root since the early read began.
    bool readChanges(const Prepared& prepared, QImage* into);

    std::shared_ptr<X11Connection> c_;
    Source source_ = Source::Root;
    Layout layout_;
    bool shm_ = false;
    bool damage_ = false; // the server reports drawing (DAMAGE 1.1, XFIXES 2.0)
    int earlyCaptures_ = 0;
    std::future<Prepared> prepared_;
};
