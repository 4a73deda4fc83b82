// Reading the whole screen, as a capture of the desktop does, against a memcpy of the same
// number of bytes measured in the same run: capture_bench [RUNS [IDLE_MS]]. With IDLE_MS, each
// capture comes after that long idle, as one from the tray does. The grab row is the capture
// flow's: the screen copied in the server, then read from that copy, from the request to the
// picture in our memory.
// Needs an X server (DISPLAY); bench/capture.sh starts one at each screen size of interest.

#include "platform/x11/x11connection.h"
#include "platform/x11/x11screengrab.h"
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
    X11ScreenGrab grabber(conn);
    const auto grab = [&] {
        bool done = false;
        const auto c = QObject::connect(&grabber, &ScreenGrab::grabbed, &grabber,
                                        [&](quint64, const CapturedBitmap&) { done = true; });
        const auto f = QObject::connect(&grabber, &ScreenGrab::grabFailed, &grabber, [&] {
            std::fprintf(stderr, "capture_bench: grab failed\n");
            done = true;
        });
        grabber.grab(1, QRect(0, 0, width, height));
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(c);
        QObject::disconnect(f);
    };
    std::vector<double> tShm, tPlain, tCopy, tGrab;
    for (int i = 0; i < runs; ++i) {
        idle();
        tShm.push_back(timeRuns(1, [&] { capture(shm); })[0]);
        idle();
        tCopy.push_back(timeRuns(1, copy)[0]);
        idle();
        tPlain.push_back(timeRuns(1, [&] { capture(plain); })[0]);
        idle();
        tGrab.push_back(timeRuns(1, grab)[0]);
    }
    const double mShm = median(tShm), mPlain = median(tPlain), mCopy = median(tCopy);
    std::printf("%dx%d (%.1f MB), %d runs%s, medians:\n", width, height, double(bytes) / 1e6, runs,
                idleMs > 0 ? qPrintable(QStringLiteral(", each after %1 ms idle").arg(idleMs)) : "");
    std::printf("  memcpy            %7.2f ms\n", mCopy);
    std::printf("  capture, %-8s %7.2f ms  ratio %.2f\n",
                shm.usesSharedMemory() ? "MIT-SHM" : "plain(!)", mShm, mShm / mCopy);
    std::printf("  capture, plain    %7.2f ms  ratio %.2f\n", mPlain, mPlain / mCopy);
    std::printf("  grab, to the picture %7.2f ms  ratio %.2f\n", median(tGrab),
                median(tGrab) / mCopy);
    return 0;
}
