#pragma once

// Reading a window's area of the screen on X11, as it is now: the root window's pixels, so
// whatever lies on top is included, or on a rootless X server (XWayland) the window's own.

#include "platform/screenpixels.h"
#include "x11imagereader.h"

class X11ScreenPixels : public ScreenPixels
{
public:
    using Transfer = X11ImageReader::Transfer;
    enum class Source {
        Root,   // the root window: the screen as shown, whatever lies on top
        Window, // a window's own pixels, for a rootless X server (XWayland), whose root is empty;
                // the root itself is still read from the root
    };
    explicit X11ScreenPixels(std::shared_ptr<X11Connection> connection,
                             Transfer transfer = Transfer::Auto, Source source = Source::Root);

    CapturedBitmap CaptureWindowRect(quintptr hwnd, bool client, int left, int top, int width,
                                     int height) override;
    // Only libxcb calls, which are safe from any thread.
    bool CapturesOnAnyThread() const override { return true; }

    // Whether reads currently go through shared memory.
    bool usesSharedMemory() const { return reader_.usesSharedMemory(); }

private:
    // The window's pixels have the root's layout (it is not, say, a 32-bit ARGB window).
    bool sameDepthAsRoot(xcb_window_t window) const;

    std::shared_ptr<X11Connection> c_;
    Source source_ = Source::Root;
    X11ImageReader reader_;
};
