// Reading the whole screen, as a capture of the desktop does, against a memcpy of the same
// number of bytes measured in the same run: capture_bench [RUNS [IDLE_MS]]. With IDLE_MS, each
// capture comes after that long idle, as one does after the program's settle wait, and two more
// rows have the memory made and the screen read during the idle time (PrepareCapture): with
// nothing drawn since, and with a 400x300 rectangle drawn since, which the capture reads again.
// Needs an X server (DISPLAY); bench/capture.sh starts one at each screen size of interest.

#include "platform/x11/x11connection.h"
#include "platform/x11/x11screenpixels.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Fills the root window with noise, so the server reads real memory, not untouched pages.
void paintScreen(X11Connection& c, int width, int height)
{
    xcb_connection_t* x = c.xcb();
    const xcb_gcontext_t gc = xcb_generate_id(x);
    xcb_create_gc(x, gc, c.root(), 0, nullptr);
    const int rows = 256;
    std::vector<quint32> band(size_t(width) * rows);
    std::mt19937 rng(42);
    for (quint32& p : band)
        p = rng() & 0xffffff;
    for (int y = 0; y < height; y += rows) {
        const int h = std::min(rows, height - y);
        xcb_put_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, c.root(), gc, quint16(width), quint16(h), 0,
                      qint16(y), 0, 24, quint32(size_t(width) * h * 4),
                      reinterpret_cast<const uint8_t*>(band.data()));
    }
    xcb_free_gc(x, gc);
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
}

// Draws a 400x300 rectangle of the next grey on the root, as another program's drawing would.
void drawRectangle(X11Connection& c)
{
    static quint32 grey = 0;
    grey = (grey + 0x010101) & 0xffffff;
    xcb_connection_t* x = c.xcb();
    const xcb_gcontext_t gc = xcb_generate_id(x);
    xcb_create_gc(x, gc, c.root(), XCB_GC_FOREGROUND, &grey);
    const xcb_rectangle_t r{100, 100, 400, 300};
    xcb_poly_fill_rectangle(x, c.root(), gc, 1, &r);
    xcb_free_gc(x, gc);
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
}

template <typename F>
std::vector<double> timeRuns(int runs, F&& f)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 25;
    const int idleMs = argc > 2 ? std::max(0, std::atoi(argv[2])) : 0;
    const auto idle = [idleMs] {
        if (idleMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(idleMs));
    };

    auto conn = std::make_shared<X11Connection>();
    if (!conn->isOpen())
        return 1;
    const int width = conn->screen()->width_in_pixels;
    const int height = conn->screen()->height_in_pixels;
    if (conn->screen()->root_depth == 24)
        paintScreen(*conn, width, height);
    const size_t bytes = size_t(width) * size_t(height) * 4;

    X11ScreenPixels shm(conn, X11ScreenPixels::Transfer::Auto);
    X11ScreenPixels plain(conn, X11ScreenPixels::Transfer::Plain);
    const auto capture = [&](X11ScreenPixels& p) {
        // The image goes before the next capture, as when the canvas closes.
        const CapturedBitmap b = p.CaptureWindowRect(conn->root(), false, 0, 0, width, height);
        if (b.image.width() != width)
            std::fprintf(stderr, "capture_bench: capture failed\n");
    };
    std::vector<char> src(bytes, 1), dst(bytes, 2);
    const auto copy = [&] {
        std::memcpy(dst.data(), src.data(), bytes);
        // Keeps the copy from being optimised away.
        src[bytes / 2] = static_cast<char>(dst[bytes / 3] + 1);
    };

    // Warm-up: segments made, pages touched, caches settled.
    for (int i = 0; i < 3; ++i) {
        capture(shm);
        capture(plain);
        copy();
    }
    // Interleaved, so both see the same machine load.
    std::vector<double> tShm, tPlain, tCopy, tPrepared, tDrawn;
    for (int i = 0; i < runs; ++i) {
        idle();
        tShm.push_back(timeRuns(1, [&] { capture(shm); })[0]);
        idle();
        tCopy.push_back(timeRuns(1, copy)[0]);
        idle();
        tPlain.push_back(timeRuns(1, [&] { capture(plain); })[0]);
        if (idleMs > 0) {
            shm.PrepareCapture(QRect(0, 0, width, height));
            idle();
            tPrepared.push_back(timeRuns(1, [&] { capture(shm); })[0]);
            shm.PrepareCapture(QRect(0, 0, width, height));
            idle();
            drawRectangle(*conn);
            tDrawn.push_back(timeRuns(1, [&] { capture(shm); })[0]);
        }
    }
    const double mShm = median(tShm), mPlain = median(tPlain), mCopy = median(tCopy);
    std::printf("%dx%d (%.1f MB), %d runs%s, medians:\n", width, height, double(bytes) / 1e6, runs,
                idleMs > 0 ? qPrintable(QStringLiteral(", each after %1 ms idle").arg(idleMs)) : "");
    std::printf("  memcpy            %7.2f ms\n", mCopy);
    std::printf("  capture, %-8s %7.2f ms  ratio %.2f\n",
                shm.usesSharedMemory() ? "MIT-SHM" : "plain(!)", mShm, mShm / mCopy);
    std::printf("  capture, plain    %7.2f ms  ratio %.2f\n", mPlain, mPlain / mCopy);
    if (!tPrepared.empty()) {
        std::printf("  capture, prepared %7.2f ms  ratio %.2f  (read early, nothing drawn since)\n",
                    median(tPrepared), median(tPrepared) / mCopy);
        std::printf("    400x300 drawn   %7.2f ms  ratio %.2f  (read early, that read again)\n",
                    median(tDrawn), median(tDrawn) / mCopy);
        std::printf("  captures made from an early read: %d of %zu\n", shm.earlyCaptures(),
                    tPrepared.size() + tDrawn.size());
    }
    return 0;
}
