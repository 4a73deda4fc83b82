#include "fakeplatform.h"

#include "platform/virtualkeys.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

quint32 FakeHotKeys::virtualKeyFor(QChar ch) const
{
    return typable.contains(ch) ? usVirtualKey(ch) : 0;
}

quintptr FakeForegroundWindow::GetForegroundWindow()
{
    if (foreground != 0)
        return foreground;
    if (QWidget* w = QApplication::activeWindow())
        return static_cast<quintptr>(w->winId());
    return 0;
}

bool FakeForegroundWindow::GetWindowRect(quintptr hwnd, WindowRect* rect)
{
    QRect r;
    if (rects.contains(hwnd)) {
        *rect = rects.value(hwnd);
        return true;
    }
    if (hwnd == desktop) {
        r = QGuiApplication::primaryScreen()->virtualGeometry();
    } else if (QWidget* w = QWidget::find(static_cast<WId>(hwnd))) {
        r = w->frameGeometry();
    } else {
        return false;
    }
    *rect = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    return true;
}

FakeScreenPixels::FakeScreenPixels()
{
    const QSize size = QGuiApplication::primaryScreen()->geometry().size();
    screen = QImage(size, QImage::Format_RGB32);
    // A pattern where every pixel differs from its neighbours, so off-by-one errors show.
    for (int y = 0; y < screen.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(screen.scanLine(y));
        for (int x = 0; x < screen.width(); ++x)
            line[x] = qRgb(x & 0xff, y & 0xff, ((x >> 8) << 4 | (y >> 8)) & 0xff);
    }
}

CapturedBitmap FakeScreenPixels::CaptureWindowRect(quintptr hwnd, bool client, int left, int top,
                                                   int width, int height)
{
    ++captures;
    if (width <= 0 || height <= 0)
        return {};
    // What the screen shows: the pretend desktop with our visible windows painted over it.
    QImage shown = screen.copy();
    if (duringRead)
        duringRead();
    if (!anyThread) {
        QPainter p(&shown);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && !w->isMinimized() && w->windowType() != Qt::Popup)
                p.drawPixmap(w->geometry().topLeft(), w->grab());
        }
    }
    QPoint origin;
    WindowRect r;
    if (windows && windows->GetWindowRect(hwnd, &r))
        origin = QPoint(r.left, r.top);
    if (client) {
        if (QWidget* w = QWidget::find(static_cast<WId>(hwnd)))
            origin = w->geometry().topLeft();
    }
    QImage out(width, height, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    p.drawImage(QPoint(0, 0), shown, QRect(origin.x() + left, origin.y() + top, width, height));
    p.end();
    return {out, {}};
}

// Puts a new T in the platform's slot; returns it, for the test to drive.
template <typename T, typename Slot, typename... Args> static T* install(Slot& slot, Args&&... args)
{
    auto made = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = made.get();
    slot = std::move(made);
    return raw;
}

FakePlatform::FakePlatform()
{
    name = QStringLiteral("fake");
    hasSystemTray = [] { return true; };
    fakeKeys = install<FakeKeyState>(keys);
    fakeHotKeys = install<FakeHotKeys>(hotKeys);
    fakeForeground = install<FakeForegroundWindow>(foreground);
    fakeScreen = install<FakeScreenPixels>(screen);
    fakeScreen->windows = fakeForeground;
    fakeGrab = install<FakeScreenGrab>(grab, *fakeScreen, fakeForeground->desktop);
    fakeCursor = install<FakeCursorPosition>(cursor);
    install<FakeTopMost>(topMost);
    install<FakeTaskbar>(taskbar);
    fakeShell = install<FakeShellOpen>(shell);
    fakeStartup = install<FakeStartupEntry>(startup);
    fakeMessages = install<RecordingMessageBoxes>(messages);
    fakeDialogs = install<ScriptedDialogs>(dialogs);
}
