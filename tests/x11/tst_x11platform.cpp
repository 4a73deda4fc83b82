// The X11 services against a real X server with a window manager (tests/e2e/session.sh):
// screen reads, window geometry, focus, key state, hot keys and stacking.

#include "platform/x11/x11connection.h"
#include "platform/x11/x11keyboard.h"
#include "platform/x11/x11screenpixels.h"
#include "platform/x11/x11windows.h"

#include <QApplication>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kMod4 = XCB_MOD_MASK_4;

QImage makePattern(int w, int h, int seed)
{
    // Every pixel differs from its neighbours, so a shift by one shows.
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x * 7 + seed) & 0xff, (y * 13 + seed * 3) & 0xff, (x ^ y) & 0xff);
    }
    return img;
}

// Empty when equal, else where and how the first difference shows. Compares colour only.
QString difference(const QImage& got, const QImage& expected)
{
    if (got.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(got.width()).arg(got.height()).arg(expected.width()).arg(expected.height());
    for (int y = 0; y < got.height(); ++y) {
        for (int x = 0; x < got.width(); ++x) {
            if ((got.pixel(x, y) & 0xffffff) != (expected.pixel(x, y) & 0xffffff))
                return QStringLiteral("pixel (%1,%2) is %3, expected %4")
                    .arg(x).arg(y)
                    .arg(got.pixel(x, y) & 0xffffff, 6, 16, QLatin1Char('0'))
                    .arg(expected.pixel(x, y) & 0xffffff, 6, 16, QLatin1Char('0'));
        }
    }
    return {};
}

// Painting a capture onto an image with alpha must give opaque pixels.
bool paintsOpaque(const QImage& captured)
{
    QImage onto(captured.size(), QImage::Format_ARGB32_Premultiplied);
    onto.fill(Qt::transparent);
    QPainter(&onto).drawImage(0, 0, captured);
    for (int y = 0; y < onto.height(); ++y)
        for (int x = 0; x < onto.width(); ++x)
            if (qAlpha(onto.pixel(x, y)) != 255)
                return false;
    return true;
}

class PatternWindow : public QWidget
{
public:
    explicit PatternWindow(QImage img, Qt::WindowFlags f = {}) : QWidget(nullptr, f), image(std::move(img))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(image.size());
    }
    QImage image;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, image); }
};

// Another program's connection.
class OtherClient : public X11Connection
{
public:
    bool grab(xcb_keysym_t sym, quint16 mods)
    {
        xcb_generic_error_t* e = xcb_request_check(
            xcb(), xcb_grab_key_checked(xcb(), 0, root(), mods, keycodes({sym}).value(0),
                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        const bool ok = e == nullptr;
        free(e);
        return ok;
    }
    quint16 pointerState()
    {
        XcbPtr<xcb_query_pointer_reply_t> r(
            xcb_query_pointer_reply(xcb(), xcb_query_pointer(xcb(), root()), nullptr));
        return r ? r->mask : 0;
    }
    QVector<quint32> property(xcb_window_t w, const char* name, xcb_atom_t type)
    {
        return property32(w, internAtom(name), type, 1024);
    }
    void sync() { free(xcb_get_input_focus_reply(xcb(), xcb_get_input_focus(xcb()), nullptr)); }
};

void xdotool(const QStringList& args)
{
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

// Runs fn with stderr going to a file; returns what it printed.
QByteArray stderrOf(const std::function<void()>& fn)
{
    QTemporaryFile file;
    if (!file.open())
        return "cannot capture stderr";
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(file.handle(), 2);
    fn();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    file.seek(0);
    return file.readAll();
}

// A second X server of the given depth, for pixel formats other than the session's.
class PrivateServer
{
public:
    explicit PrivateServer(const QString& depth)
    {
        xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                             QStringLiteral("-screen"), QStringLiteral("0"),
                                             QStringLiteral("160x120x") + depth,
                                             QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (xvfb.waitForStarted(5000)) {
            QByteArray out;
            for (int i = 0; i < 100 && !out.contains('\n'); ++i) {
                xvfb.waitForReadyRead(100);
                out += xvfb.readAllStandardOutput();
            }
            if (out.contains('\n'))
                display = ":" + out.trimmed();
        }
    }
    ~PrivateServer()
    {
        xvfb.terminate();
        if (!xvfb.waitForFinished(3000))
            xvfb.kill();
        xvfb.waitForFinished(1000);
    }
    QProcess xvfb;
    QByteArray display;
};

} // namespace

Q_DECLARE_METATYPE(X11ScreenPixels::Transfer)

class TestX11Platform : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<X11Connection> conn;
    QRect screenRect;

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        conn = std::make_shared<X11Connection>();
        QVERIFY(conn->isOpen());
        screenRect = QGuiApplication::primaryScreen()->geometry();
    }

    void capture_data()
    {
        QTest::addColumn<X11ScreenPixels::Transfer>("transfer");
        QTest::newRow("shared memory") << X11ScreenPixels::Transfer::Auto;
        QTest::newRow("plain") << X11ScreenPixels::Transfer::Plain;
    }

    // A window of ours with a known picture, read back through its client area, through its
    // outer rectangle and with another window lying over it.
    void capture()
    {
        QFETCH(X11ScreenPixels::Transfer, transfer);
        X11ScreenPixels pixels(conn, transfer);
        QCOMPARE(pixels.usesSharedMemory(), transfer == X11ScreenPixels::Transfer::Auto);
        X11ForegroundWindow windows(conn);

        const QImage pattern = makePattern(240, 160, 5);
        PatternWindow win(pattern);
        win.move(300, 200);
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        const quintptr id = win.winId();

        QImage got;
        QTRY_VERIFY_WITH_TIMEOUT(
            difference(got = pixels.CaptureWindowRect(id, true, 0, 0, 240, 160).image, pattern)
                .isEmpty(),
            5000);
        QCOMPARE(got.format(), QImage::Format_RGB32);
        QVERIFY(paintsOpaque(got));

        // The outer rectangle starts at the frame; the picture sits at the client's offset.
        WindowRect outer;
        QVERIFY(windows.GetWindowRect(id, &outer));
        const QPoint client = win.mapToGlobal(QPoint(0, 0));
        const QPoint inset = client - QPoint(outer.left, outer.top);
        QVERIFY(inset.x() >= 0 && inset.y() > 0);
        const QImage whole = pixels.CaptureWindowRect(id, false, inset.x() + 10, inset.y() + 20, 100, 50).image;
        QCOMPARE(difference(whole, pattern.copy(10, 20, 100, 50)), QString());
        const QImage fromRoot = pixels.CaptureWindowRect(windows.GetDesktopWindow(), false,
                                                         client.x() + 3, client.y() + 4, 50, 40).image;
        QCOMPARE(difference(fromRoot, pattern.copy(3, 4, 50, 40)), QString());

        // Whatever lies on top is part of the picture, another program's window included
        // (drawn by the server: its pixels' unused top byte is not set).
        OtherClient other;
        const xcb_window_t cover = xcb_generate_id(other.xcb());
        const quint32 values[] = {0x0c6463, 1};
        xcb_create_window(other.xcb(), XCB_COPY_FROM_PARENT, cover, other.root(),
                          qint16(client.x() + 50), qint16(client.y() + 40), 60, 30, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(other.xcb(), cover);
        xcb_flush(other.xcb());
        QImage expected = pattern;
        QPainter(&expected).fillRect(50, 40, 60, 30, QColor(0x0c, 0x64, 0x63));
        QTRY_VERIFY_WITH_TIMEOUT(
            difference(got = pixels.CaptureWindowRect(id, true, 0, 0, 240, 160).image, expected)
                .isEmpty(),
            5000);
        QVERIFY(paintsOpaque(got));

        // Images handed out earlier keep their pixels while later captures are made.
        xcb_unmap_window(other.xcb(), cover);
        xcb_flush(other.xcb());
        QTRY_VERIFY_WITH_TIMEOUT(
            difference(pixels.CaptureWindowRect(id, true, 0, 0, 240, 160).image, pattern).isEmpty(),
            5000);
        QImage held = pixels.CaptureWindowRect(id, true, 0, 0, 240, 160).image;
        for (int i = 0; i < 4; ++i)
            QVERIFY(!pixels.CaptureWindowRect(id, true, 0, 0, 240, 160).image.isNull());
        QCOMPARE(difference(got, expected), QString());
        QCOMPARE(difference(held, pattern), QString());
    }

    void captureAtScreenEdges_data() { capture_data(); }

    // Rectangles partly or wholly off the screen: the part outside is black, the rest is
    // where it belongs.
    void captureAtScreenEdges()
    {
        QFETCH(X11ScreenPixels::Transfer, transfer);
        X11ScreenPixels pixels(conn, transfer);
        const Qt::WindowFlags bare =
            Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint;
        const QImage a = makePattern(64, 48, 1);
        const QImage b = makePattern(64, 48, 2);
        PatternWindow topLeft(a, bare), bottomRight(b, bare);
        topLeft.move(0, 0);
        bottomRight.move(screenRect.width() - 64, screenRect.height() - 48);
        topLeft.show();
        bottomRight.show();
        QVERIFY(QTest::qWaitForWindowExposed(&topLeft));
        QVERIFY(QTest::qWaitForWindowExposed(&bottomRight));
        QTRY_VERIFY_WITH_TIMEOUT(
            difference(pixels.CaptureWindowRect(topLeft.winId(), true, 0, 0, 64, 48).image, a)
                    .isEmpty()
                && difference(pixels.CaptureWindowRect(bottomRight.winId(), true, 0, 0, 64, 48).image, b)
                       .isEmpty(),
            5000);

        QImage expected(50, 60, QImage::Format_RGB32);
        expected.fill(Qt::black);
        QPainter(&expected).drawImage(10, 20, a.copy(0, 0, 40, 40));
        const CapturedBitmap before = pixels.CaptureWindowRect(topLeft.winId(), true, -10, -20, 50, 60);
        QCOMPARE(difference(before.image, expected), QString());
        QVERIFY(before.palette.isEmpty());
        QVERIFY(paintsOpaque(before.image));

        expected = QImage(50, 40, QImage::Format_RGB32);
        expected.fill(Qt::black);
        QPainter(&expected).drawImage(0, 0, b.copy(34, 28, 30, 20));
        QCOMPARE(difference(pixels.CaptureWindowRect(bottomRight.winId(), true, 34, 28, 50, 40).image,
                            expected),
                 QString());

        const QImage outside = pixels.CaptureWindowRect(conn->root(), false, screenRect.width() + 5, 0, 10, 10).image;
        QCOMPARE(outside.size(), QSize(10, 10));
        QImage black(10, 10, QImage::Format_RGB32);
        black.fill(Qt::black);
        QCOMPARE(difference(outside, black), QString());

        QVERIFY(pixels.CaptureWindowRect(conn->root(), false, 0, 0, 0, 10).image.isNull());
        QVERIFY(pixels.CaptureWindowRect(conn->root(), false, 0, 0, 10, -1).image.isNull());
        QVERIFY(pixels.CaptureWindowRect(0x3ffffff, false, 0, 0, 10, 10).image.isNull());
    }

    // The whole screen both ways: shared memory and plain reads, each in bands. The picture
    // comes from another program, drawn by the server with the unused top byte left at 0.
    void sharedMemoryAndPlainAgree()
    {
        X11ScreenPixels shm(conn, X11ScreenPixels::Transfer::Auto);
        X11ScreenPixels plain(conn, X11ScreenPixels::Transfer::Plain);
        const int w = screenRect.width(), h = screenRect.height();
        QImage pattern = makePattern(w, h, 9);
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(pattern.scanLine(y));
            for (int i = 0; i < w; ++i)
                line[i] &= 0xffffff;
        }
        OtherClient other;
        xcb_connection_t* x = other.xcb();
        const xcb_window_t win = xcb_generate_id(x);
        const quint32 overrideRedirect = 1;
        xcb_create_window(x, XCB_COPY_FROM_PARENT, win, other.root(), 0, 0, quint16(w), quint16(h),
                          0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
        xcb_map_window(x, win);
        const xcb_gcontext_t gc = xcb_generate_id(x);
        xcb_create_gc(x, gc, win, 0, nullptr);
        for (int y = 0; y < h; y += 64) {
            const int rows = std::min(64, h - y);
            xcb_put_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, win, gc, quint16(w), quint16(rows), 0,
                          qint16(y), 0, 24, quint32(w * rows * 4), pattern.constScanLine(y));
        }
        other.sync();
        const auto whole = [&](X11ScreenPixels& p) {
            return p.CaptureWindowRect(conn->root(), false, 0, 0, w, h).image;
        };
        QImage got;
        QTRY_VERIFY_WITH_TIMEOUT(difference(got = whole(shm), pattern).isEmpty(), 5000);
        QVERIFY(shm.usesSharedMemory());
        QVERIFY(paintsOpaque(got));
        QCOMPARE(difference(got = whole(plain), pattern), QString());
        QVERIFY(paintsOpaque(got));
    }

    void captureOtherPixelFormats_data()
    {
        QTest::addColumn<QString>("depth");
        QTest::addColumn<X11ScreenPixels::Transfer>("transfer");
        QTest::newRow("16 bpp true colour") << "16" << X11ScreenPixels::Transfer::Auto;
        QTest::newRow("16 bpp true colour, plain") << "16" << X11ScreenPixels::Transfer::Plain;
        QTest::newRow("8 bpp palette") << "8" << X11ScreenPixels::Transfer::Auto;
        QTest::newRow("8 bpp palette, plain") << "8" << X11ScreenPixels::Transfer::Plain;
    }

    // 16-bit and palette displays: pixels come back as the colours they show, and a palette
    // display reports its palette.
    void captureOtherPixelFormats()
    {
        QFETCH(QString, depth);
        QFETCH(X11ScreenPixels::Transfer, transfer);
        PrivateServer server(depth);
        QVERIFY2(!server.display.isEmpty(), "Xvfb did not start");
        auto other = std::make_shared<X11Connection>(server.display);
        QVERIFY(other->isOpen());
        xcb_connection_t* x = other->xcb();
        const xcb_screen_t* s = other->screen();
        QCOMPARE(int(s->root_depth), depth.toInt());

        const QList<QRgb> colours{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                                  qRgb(255, 255, 255), qRgb(0, 0, 0)};
        QList<quint32> pixelValues;
        if (depth == QLatin1String("16")) {
            pixelValues = {0xf800, 0x07e0, 0x001f, 0xffff, 0};
        } else {
            for (QRgb c : colours) {
                auto* r = xcb_alloc_color_reply(
                    x, xcb_alloc_color(x, s->default_colormap, quint16(qRed(c) * 257),
                                       quint16(qGreen(c) * 257), quint16(qBlue(c) * 257)),
                    nullptr);
                QVERIFY(r);
                pixelValues << r->pixel;
                free(r);
            }
        }
        const xcb_gcontext_t gc = xcb_generate_id(x);
        xcb_create_gc(x, gc, s->root, 0, nullptr);
        for (int i = 0; i < colours.size(); ++i) {
            const quint32 fg = pixelValues.at(i);
            xcb_change_gc(x, gc, XCB_GC_FOREGROUND, &fg);
            const xcb_rectangle_t r{qint16(10 + 10 * i), 7, 10, 9};
            xcb_poly_fill_rectangle(x, s->root, gc, 1, &r);
        }
        free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr)); // sync

        X11ScreenPixels pixels(other, transfer);
        const CapturedBitmap got = pixels.CaptureWindowRect(s->root, false, 10, 7, 50, 9);
        QImage expected(50, 9, QImage::Format_RGB32);
        for (int i = 0; i < colours.size(); ++i)
            QPainter(&expected).fillRect(10 * i, 0, 10, 9, QColor(colours.at(i)));
        QCOMPARE(got.image.format(), QImage::Format_RGB32);
        QCOMPARE(difference(got.image, expected), QString());
        QVERIFY(paintsOpaque(got.image));
        if (depth == QLatin1String("8")) {
            QCOMPARE(got.palette.size(), 256);
            for (int i = 0; i < colours.size(); ++i)
                QCOMPARE(got.palette.at(int(pixelValues.at(i))) & 0xffffff, colours.at(i) & 0xffffff);
        } else {
            QVERIFY(got.palette.isEmpty());
        }
        // Partly off the screen goes through the same conversion.
        const QImage corner = pixels.CaptureWindowRect(s->root, false, -5, 7, 20, 9).image;
        QCOMPARE(corner.pixel(4, 0) & 0xffffff, 0u);
        QCOMPARE(corner.pixel(15, 0) & 0xffffff, colours.at(0) & 0xffffff);
    }

    // The rectangle of a managed window includes what the window manager put around it.
    void windowRectIncludesFrame()
    {
        X11ForegroundWindow windows(conn);
        QWidget win;
        win.resize(300, 200);
        win.move(400, 300);
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        WindowRect r;
        QTRY_VERIFY_WITH_TIMEOUT(windows.GetWindowRect(win.winId(), &r)
                                     && r.bottom - r.top > 200 + 10,
                                 5000);
        // Qt finds the frame by walking up to the window manager's frame window.
        QCOMPARE(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)),
                 win.frameGeometry());

        QVERIFY(windows.GetWindowRect(windows.GetDesktopWindow(), &r));
        QCOMPARE(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), screenRect);
        QVERIFY(!windows.GetWindowRect(0x3ffffff, &r));
        QVERIFY(!windows.GetWindowRect(0, &r));
    }

    void foregroundFollowsActiveWindow()
    {
        X11ForegroundWindow windows(conn);
        QWidget a, b;
        a.setWindowTitle(QStringLiteral("a"));
        b.setWindowTitle(QStringLiteral("b"));
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        a.activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(windows.GetForegroundWindow(), quintptr(a.winId()), 5000);
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        b.activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(windows.GetForegroundWindow(), quintptr(b.winId()), 5000);
        b.hide();
        QTRY_VERIFY_WITH_TIMEOUT(windows.GetForegroundWindow() != quintptr(b.winId()), 5000);
    }

    // A press and release between two queries sets the "pressed" bit once; a held key
    // reads as down.
    void tapBetweenQueries()
    {
        X11KeyState keys(conn);
        QVERIFY(keys.seesEveryPress());
        const struct {
            const char* keysym;
            int vk;
        } cases[] = {{"a", 'A'}, {"7", '7'}, {"Shift_L", vk::Shift}, {"Control_R", vk::Control},
                     {"KP_Add", vk::Add}, {"KP_Subtract", vk::Subtract}};
        for (const auto& c : cases) {
            keys.GetAsyncKeyState(c.vk);
            xdotool({QStringLiteral("key"), QString::fromLatin1(c.keysym)});
            QCOMPARE(keys.GetAsyncKeyState(c.vk), qint16(1));
            QCOMPARE(keys.GetAsyncKeyState(c.vk), qint16(0));
        }
        // Another key's query does not clear it.
        keys.GetAsyncKeyState('B');
        xdotool({QStringLiteral("key"), QStringLiteral("b")});
        QCOMPARE(keys.GetAsyncKeyState('A'), qint16(0));
        QCOMPARE(keys.GetAsyncKeyState('B'), qint16(1));

        xdotool({QStringLiteral("keydown"), QStringLiteral("Shift_R")});
        QCOMPARE(keys.GetAsyncKeyState(vk::Shift), qint16(0x8001));
        QCOMPARE(keys.GetAsyncKeyState(vk::Shift), qint16(0x8000));
        xdotool({QStringLiteral("keyup"), QStringLiteral("Shift_R")});
        QCOMPARE(keys.GetAsyncKeyState(vk::Shift), qint16(0));
        QCOMPARE(keys.GetAsyncKeyState(0xe8), qint16(0)); // no key for it
    }

    void hotKeyWithAnyLockState()
    {
        X11HotKeys hot(conn);
        X11KeyState keys(conn);
        struct Call {
            quintptr hwnd;
            quint32 msg;
            quintptr wParam;
            qintptr lParam;
        };
        QList<Call> calls;
        const quintptr owner = 0x4242;
        QCOMPARE(hot.windowProc(owner)(owner, WM_HOTKEY_MSG, 1, 2), qintptr(0));
        hot.setWindowProc(owner, [&](quintptr h, quint32 m, quintptr w, qintptr l) -> qintptr {
            calls.append({h, m, w, l});
            return 0;
        });
        QVERIFY(hot.RegisterHotKey(owner, 7, MOD_WIN_FLAG, 'V'));
        bool again = true;
        QCOMPARE(stderrOf([&] { again = hot.RegisterHotKey(owner, 8, MOD_WIN_FLAG, 'V'); }),
                 QByteArray("scrawlix: cannot register hot key Super+V (already registered)\n"));
        QVERIFY(!again);

        OtherClient other;
        const quint16 numLock = conn->modifierMaskOf(0xff7f);
        QVERIFY(numLock != 0);
        const struct {
            const char* name;
            QStringList toggles;
            quint16 locks;
        } states[] = {{"no lock", {}, 0},
                      {"Num Lock", {"Num_Lock"}, numLock},
                      {"Caps Lock", {"Caps_Lock"}, XCB_MOD_MASK_LOCK},
                      {"both", {"Num_Lock", "Caps_Lock"}, quint16(numLock | XCB_MOD_MASK_LOCK)}};
        for (const auto& st : states) {
            for (const QString& t : st.toggles)
                xdotool({QStringLiteral("key"), t});
            QCOMPARE(other.pointerState() & (numLock | XCB_MOD_MASK_LOCK), int(st.locks));
            calls.clear();
            xdotool({QStringLiteral("key"), QStringLiteral("super+v")});
            keys.GetAsyncKeyState('V'); // reads the connection: delivery still waits for the loop
            QCOMPARE(calls.size(), 0);
            QTRY_COMPARE_WITH_TIMEOUT(calls.size(), 1, 3000);
            QCOMPARE(calls[0].hwnd, owner);
            QCOMPARE(calls[0].msg, WM_HOTKEY_MSG);
            QCOMPARE(calls[0].wParam, quintptr(7));
            QCOMPARE(calls[0].lParam, qintptr(('V' << 16) | 8));
            for (const QString& t : st.toggles)
                xdotool({QStringLiteral("key"), t});
        }
        QCOMPARE(other.pointerState() & (numLock | XCB_MOD_MASK_LOCK), 0);

        // Other combinations pass by.
        calls.clear();
        xdotool({QStringLiteral("key"), QStringLiteral("v"), QStringLiteral("ctrl+super+v"),
                 QStringLiteral("super+b")});
        QTest::qWait(300);
        QCOMPARE(calls.size(), 0);
    }

    void hotKeyTakenElsewhere()
    {
        OtherClient other;
        QVERIFY(other.grab('k', kMod4));
        X11HotKeys hot(conn);
        bool ok = true;
        const QByteArray printed =
            stderrOf([&] { ok = hot.RegisterHotKey(0x99, 1, MOD_WIN_FLAG, 'K'); });
        QVERIFY(!ok);
        QCOMPARE(printed,
                 QByteArray("scrawlix: cannot register hot key Super+K (already taken by another "
                            "program)\n"));
        // The lock variants that had been granted were given back.
        OtherClient third;
        const quint16 numLock = conn->modifierMaskOf(0xff7f);
        QVERIFY(third.grab('k', kMod4 | numLock));
        QVERIFY(third.grab('k', kMod4 | XCB_MOD_MASK_LOCK));
    }

    void topMost()
    {
        X11TopMost top(conn);
        X11ForegroundWindow windows(conn);
        OtherClient other;
        const xcb_atom_t above = other.internAtom("_NET_WM_STATE_ABOVE");
        const auto hasAbove = [&](WId w) {
            return other.property(xcb_window_t(w), "_NET_WM_STATE", XCB_ATOM_ATOM).contains(above);
        };
        QWidget a, b, c;
        a.setGeometry(200, 200, 300, 200);
        b.setGeometry(250, 250, 300, 200);
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        const WId id = a.winId();

        // Taking the window down and putting it up again is what flickers.
        bool takenDown = false;
        other.addEventHandler([&](const xcb_generic_event_t* e) {
            const int type = e->response_type & 0x7f;
            takenDown = takenDown || type == XCB_UNMAP_NOTIFY || type == XCB_DESTROY_NOTIFY;
        });
        const quint32 structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(other.xcb(), xcb_window_t(id), XCB_CW_EVENT_MASK, &structure);
        other.sync();

        top.SetTopMost(&a);
        QTRY_VERIFY_WITH_TIMEOUT(hasAbove(id), 5000);
        b.activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(windows.GetForegroundWindow(), quintptr(b.winId()), 5000);
        const QVector<quint32> stacking =
            other.property(other.root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW);
        QVERIFY(stacking.indexOf(quint32(id)) > stacking.indexOf(quint32(b.winId())));
        other.sync();
        other.drain();
        QVERIFY2(!takenDown, "the window was taken down");
        QCOMPARE(a.winId(), id);

        // Hidden and shown again, it stays on top, and it is still the same window.
        a.hide();
        QTRY_VERIFY_WITH_TIMEOUT(!hasAbove(id), 5000);
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        QCOMPARE(a.windowHandle()->winId(), id);
        QTRY_VERIFY_WITH_TIMEOUT(hasAbove(id), 5000);

        // Made topmost before it is first shown.
        top.SetTopMost(&c);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QTRY_VERIFY_WITH_TIMEOUT(hasAbove(c.winId()), 5000);
    }
};

QTEST_MAIN(TestX11Platform)
#include "tst_x11platform.moc"
