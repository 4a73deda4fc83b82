// The X11 services against a real X server with a window manager (tests/e2e/session.sh):
// screen reads, window geometry, focus, key state, hot keys and stacking.

#include "platform/x11/x11connection.h"
#include "platform/x11/x11keyboard.h"
#include "platform/x11/x11screengrab.h"
#include "platform/x11/x11screenpixels.h"
#include "platform/x11/x11windows.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

namespace {

QImage makePattern(int w, int h)
{
    // Every pixel differs from its neighbours, so a shift by one shows.
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7) & 0xff, (y * 13) & 0xff, (x ^ y) & 0xff));
    return img;
}

// Empty when `got` painted onto a transparent image (so an unset alpha byte shows) is `want`.
QString diff(const QImage& got, const QImage& want)
{
    if (got.size() != want.size())
        return QStringLiteral("size %1x%2").arg(got.width()).arg(got.height());
    QImage shown(got.size(), QImage::Format_ARGB32_Premultiplied);
    shown.fill(Qt::transparent);
    QPainter(&shown).drawImage(0, 0, got);
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            if (shown.pixel(x, y) != (want.pixel(x, y) | 0xff000000u))
                return QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(shown.pixel(x, y), 0, 16);
    return {};
}

// Shows the picture in a window of our own at `at` on the screen, and waits until it is drawn.
bool showPicture(QLabel& win, const QImage& picture, QPoint at)
{
    win.setPixmap(QPixmap::fromImage(picture));
    win.setGeometry(QRect(at, picture.size()));
    win.show();
    return QTest::qWaitForWindowExposed(&win);
}

// Another program's 60x60 window, drawn by the server, on top of everything at `at` on the
// screen while it is in scope; `picture` gets the same square at `in`.
struct Cover {
    X11Connection other;
    xcb_window_t window = xcb_generate_id(other.xcb());
    Cover(QPoint at, QImage* picture, QPoint in)
    {
        const quint32 values[] = {0x0c6463, 1};
        xcb_create_window(other.xcb(), XCB_COPY_FROM_PARENT, window, other.root(), qint16(at.x()),
                          qint16(at.y()), 60, 60, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT,
                          values);
        xcb_map_window(other.xcb(), window);
        // A round trip: the server has mapped and painted the window once it answers.
        std::free(xcb_get_input_focus_reply(other.xcb(), xcb_get_input_focus(other.xcb()), nullptr));
        QPainter(picture).fillRect(QRect(in, QSize(60, 60)), QColor(QRgb(0x0c6463)));
    }
    ~Cover()
    {
        xcb_destroy_window(other.xcb(), window);
        xcb_flush(other.xcb());
    }
};

void xdotool(const QString& args)
{
    const QStringList argv = args.split(' ', Qt::SkipEmptyParts);
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), argv), 0);
}

} // namespace

Q_DECLARE_METATYPE(X11ScreenPixels::Transfer)

class TestX11Platform : public QObject
{
    Q_OBJECT

    std::shared_ptr<X11Connection> conn = std::make_shared<X11Connection>(); // the services'
    // The test's own: a round trip on the services' connection can leave their events queued
    // where QTest's polling never hands them on.
    X11Connection probe;
    quint16 numLock = 0;
    X11ForegroundWindow windows{conn};
    X11KeyState keys{conn};
    X11ScreenGrab grab{conn};

    // What the grab of `area` reads, once it has.
    QImage grabNow(const QRect& area)
    {
        QImage got;
        bool failed = false;
        const auto a = QObject::connect(&grab, &ScreenGrab::grabbed, &grab,
                                        [&](quint64, const CapturedBitmap& b) { got = b.image; });
        const auto f = QObject::connect(&grab, &ScreenGrab::grabFailed, &grab,
                                        [&] { failed = true; });
        grab.grab(1, area);
        (void)QTest::qWaitFor([&] { return !got.isNull() || failed; }, 5000);
        QObject::disconnect(a);
        QObject::disconnect(f);
        return got;
    }
    X11HotKeys hot{conn}; // holds Super+V
    QStringList calls;    // the presses it reported: key and modifiers, in hex

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(conn->isOpen() && probe.isOpen());
        numLock = probe.modifierMaskOf(0xff7f);
        QVERIFY(numLock != 0);
        QObject::connect(&hot, &HotKeys::pressed, this, [this](quint32 vk, quint32 modifiers) {
            calls << QStringLiteral("%1 %2").arg(vk, 0, 16).arg(modifiers, 0, 16);
        });
        QVERIFY(hot.RegisterHotKey(0x4242, HotKeys::ModWin, 'V'));
    }

    void capture_data()
    {
        QTest::addColumn<X11ScreenPixels::Transfer>("transfer");
        QTest::newRow("shared memory") << X11ScreenPixels::Transfer::Auto;
        QTest::newRow("plain") << X11ScreenPixels::Transfer::Plain;
    }

    // A known picture, large enough to come in more than one band, read back through a managed
    // window's client area, its outer rectangle and the root; with another program's window on
    // top (drawn by the server, which leaves the unused top byte at 0); past the screen's edge.
    void capture()
    {
        QFETCH(X11ScreenPixels::Transfer, transfer);
        X11ScreenPixels pixels(conn, transfer);
        QCOMPARE(pixels.usesSharedMemory(), transfer == X11ScreenPixels::Transfer::Auto);
        const auto read = [&](quintptr w, bool client, const QRect& r) {
            return pixels.CaptureWindowRect(w, client, r.x(), r.y(), r.width(), r.height()).image;
        };
        const QImage pattern = makePattern(600, 480);
        QLabel win;
        QVERIFY(showPicture(win, pattern, QPoint(300, 200)));
        const quintptr id = win.winId(), desktop = windows.GetDesktopWindow();
        QTRY_COMPARE(diff(read(id, true, pattern.rect()), pattern), QString());

        // The outer rectangle takes in the window manager's frame; the picture sits inside it.
        WindowRect r;
        QTRY_VERIFY(windows.GetWindowRect(id, &r) && r.bottom - r.top > 490);
        const QRect outer(r.left, r.top, r.right - r.left, r.bottom - r.top);
        QCOMPARE(outer, win.frameGeometry());
        const QPoint client = win.mapToGlobal(QPoint(0, 0));
        const QRect piece(10, 20, 100, 50);
        const QImage cut = pattern.copy(piece);
        QCOMPARE(diff(read(id, false, piece.translated(client - outer.topLeft())), cut), QString());
        QCOMPARE(diff(read(desktop, false, piece.translated(client)), cut), QString());

        // Another program's window on top, across the boundary of two bands, is in the picture.
        QImage covered = pattern, held;
        {
            const Cover cover(client + QPoint(50, 400), &covered, QPoint(50, 400));
            QTRY_COMPARE(diff(held = read(id, true, pattern.rect()), covered), QString());
        }

        // An image handed out keeps its pixels while later captures are made.
        QTRY_COMPARE(diff(read(id, true, pattern.rect()), pattern), QString());
        QCOMPARE(diff(held, covered), QString());

        // Past the top left corner of the screen: black outside, the rest where it belongs.
        const QRect visible(0, 0, client.x() + 50, client.y() + 40);
        QImage edge(visible.size() + QSize(10, 20), QImage::Format_RGB32);
        edge.fill(Qt::black);
        QPainter(&edge).drawImage(10, 20, read(desktop, false, visible));
        QCOMPARE(diff(read(desktop, false, visible.adjusted(-10, -20, 0, 0)), edge), QString());
    }

    // A picture's shared memory goes back once the picture is gone, a grab's too.
    void picturesGiveTheirMemoryBack()
    {
        const auto sharedBytes = [] {
            QFile maps(QStringLiteral("/proc/self/maps"));
            if (!maps.open(QIODevice::ReadOnly))
                return qint64(-1);
            qint64 total = 0;
            for (const QByteArray& line : maps.readAll().split('\n')) {
                if (!line.contains("SYSV"))
                    continue;
                const QList<QByteArray> range = line.split(' ').value(0).split('-');
                total += range.value(1).toLongLong(nullptr, 16) - range.value(0).toLongLong(nullptr, 16);
            }
            return total;
        };
        X11ScreenPixels pixels(conn);
        QVERIFY(pixels.usesSharedMemory());
        const quintptr desktop = windows.GetDesktopWindow();
        const qint64 before = sharedBytes();
        {
            const QImage grabbed = grabNow(QRect(0, 0, 640, 480));
            const QImage plain = pixels.CaptureWindowRect(desktop, false, 0, 0, 320, 240).image;
            QVERIFY(!grabbed.isNull() && !plain.isNull());
            QVERIFY(sharedBytes() >= before + 640 * 480 * 4 + 320 * 240 * 4);
        }
        QTRY_COMPARE(sharedBytes(), before);
    }

    // Past the screen's left edge the grab is black.
    void grabPastTheEdgeIsBlack()
    {
        const QImage past = grabNow(QRect(-10, 150, 30, 30));
        QCOMPARE(past.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(past.pixel(9, 29), qRgb(0, 0, 0));
    }

    // A window shown with the grab's copy as its background shows the picture before anything
    // is read; the read follows once the window is on the screen, and a window that never shows
    // does not hold it up.
    void frozenCopyShowsAtOnceAndIsReadAfter()
    {
        const QImage pattern = makePattern(300, 200);
        QLabel win;
        QVERIFY(showPicture(win, pattern, QPoint(100, 100)));
        const QRect area(win.mapToGlobal(QPoint(0, 0)), pattern.size());
        QTRY_COMPARE(diff(grabNow(area), pattern), QString());

        for (const bool shown : {true, false}) {
            QImage got;
            const auto a = QObject::connect(&grab, &ScreenGrab::grabbed, &grab,
                                            [&](quint64, const CapturedBitmap& b) { got = b.image; });
            QWindow frozen; // paints nothing of its own: the server draws its background
            frozen.setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
            frozen.setGeometry(QRect(QPoint(500, 100), area.size()));
            frozen.create();
            grab.grab(shown ? 5 : 6, area);
            QVERIFY(grab.showFrozen(&frozen, shown ? 5 : 6));
            if (shown) {
                frozen.show();
                QVERIFY(QTest::qWaitForWindowExposed(&frozen));
            }
            QTRY_VERIFY_WITH_TIMEOUT(!got.isNull(), 3000);
            QObject::disconnect(a);
            QCOMPARE(diff(got, pattern), QString());
            if (shown)
                QTRY_COMPARE(diff(grabNow(QRect(QPoint(500, 100), area.size())), pattern), QString());
        }
    }

    // The settle reports soon after our window has left the screen, and straight from the event
    // loop when nothing of ours is on it.
    void settleWaitsUntilOurWindowIsGone()
    {
        QLabel win;
        win.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QVERIFY(showPicture(win, makePattern(200, 200), QPoint(470, 270)));
        QSignalSpy settled(&grab, &ScreenGrab::settled);
        QElapsedTimer waited;
        waited.start();
        grab.settle({win.windowHandle()}, [&] { win.hide(); }, QDeadlineTimer(1000));
        QVERIFY(settled.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(settled.size(), 1, 2000);
        QVERIFY2(waited.elapsed() < 500, qPrintable(QString::number(waited.elapsed())));
        grab.settle({win.windowHandle()}, [] {}, QDeadlineTimer(1000));
        QCoreApplication::processEvents();
        QCOMPARE(settled.size(), 2);
    }

    void tapBetweenQueries_data()
    {
        QTest::addColumn<QString>("keysym");
        QTest::addColumn<int>("vk");
        QTest::newRow("letter") << "a" << int('A');
        QTest::newRow("right Control") << "Control_R" << vk::Control;
        QTest::newRow("keypad plus") << "KP_Add" << vk::Add;
    }

    // A press and release between two queries is reported once, by the next query of that
    // key only; a held key reads as down.
    void tapBetweenQueries()
    {
        QFETCH(QString, keysym);
        QFETCH(int, vk);
        keys.GetAsyncKeyState(vk);
        xdotool("key " + keysym);
        QCOMPARE(keys.GetAsyncKeyState('Z'), qint16(0));
        QCOMPARE(keys.GetAsyncKeyState(vk), qint16(1));
        QCOMPARE(keys.GetAsyncKeyState(vk), qint16(0));
        xdotool("keydown " + keysym);
        const qint16 held = keys.GetAsyncKeyState(vk), stillHeld = keys.GetAsyncKeyState(vk);
        xdotool("keyup " + keysym);
        QCOMPARE(held, qint16(0x8001));
        QCOMPARE(stillHeld, qint16(0x8000));
        QCOMPARE(keys.GetAsyncKeyState(vk), qint16(0));
    }

    // A key held for longer than RecentPressMs still reads as down.
    void heldKeyStaysDown()
    {
        keys.GetAsyncKeyState(vk::Control);
        xdotool("keydown Control_L");
        QTest::qWait(RecentPressMs + 300); // the press is read meanwhile, as an idle program does
        const qint16 held = keys.GetAsyncKeyState(vk::Control);
        xdotool("keyup Control_L");
        QCOMPARE(held, qint16(0x8000));
    }

    void hotKey_data()
    {
        QTest::addColumn<QString>("toggles");
        QTest::addColumn<int>("locks");
        QTest::newRow("no lock") << "" << 0;
        QTest::newRow("Num Lock") << "Num_Lock" << int(numLock);
        QTest::newRow("Caps Lock") << "Caps_Lock" << int(XCB_MOD_MASK_LOCK);
        QTest::newRow("both") << "Num_Lock Caps_Lock" << (numLock | XCB_MOD_MASK_LOCK);
    }

    // Super+V is reported once, from the event loop, whatever the lock keys; other combinations
    // with V or Super pass by.
    void hotKey()
    {
        QFETCH(QString, toggles);
        QFETCH(int, locks);
        calls.clear();
        xdotool("key " + toggles + " v ctrl+super+v super+b super+v");
        keys.GetAsyncKeyState('V'); // reads the connection: delivery still waits for the loop
        const QStringList early = calls;
        XcbPtr<xcb_query_pointer_reply_t> p(xcb_query_pointer_reply(
            probe.xcb(), xcb_query_pointer(probe.xcb(), probe.root()), nullptr));
        if (QTest::qWaitFor([&] { return !calls.isEmpty(); }, 3000))
            QTest::qWait(200); // time for a stray second delivery
        if (!toggles.isEmpty())
            xdotool("key " + toggles);
        QCOMPARE(p ? p->mask & (numLock | XCB_MOD_MASK_LOCK) : -1, locks);
        QCOMPARE(early, QStringList());
        QCOMPARE(calls, QStringList{QStringLiteral("56 8")}); // 'V', the Windows key
    }

    // The foreground window follows _NET_ACTIVE_WINDOW; a topmost window stays above the
    // active one, also after it was hidden and shown again (as the same native window).
    void activeAndTopMost()
    {
        X11TopMost top(conn);
        QWidget a, b;
        a.setGeometry(200, 200, 300, 200);
        b.setGeometry(250, 250, 300, 200);
        const auto activate = [&](QWidget& w) {
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.activateWindow();
            QTRY_COMPARE(windows.GetForegroundWindow(), quintptr(w.winId()));
        };
        const auto hasAbove = [&] {
            return probe.property32(a.winId(), probe.internAtom("_NET_WM_STATE"), XCB_ATOM_ATOM, 64)
                .contains(probe.internAtom("_NET_WM_STATE_ABOVE"));
        };
        activate(a);
        activate(b);
        const WId id = a.winId();
        top.SetTopMost(&a);
        QTRY_VERIFY(hasAbove());
        a.hide();
        QTRY_VERIFY(!hasAbove());
        a.show();
        QCOMPARE(a.winId(), id);
        // Before anything reads the services' connection again (see `probe`).
        QTRY_VERIFY(hasAbove());
        activate(b);
        const QVector<quint32> stack = probe.property32(
            probe.root(), probe.internAtom("_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW, 64);
        QVERIFY(stack.indexOf(quint32(id)) > stack.indexOf(quint32(b.winId())));
    }
};

QTEST_MAIN(TestX11Platform)
#include "tst_x11platform.moc"
