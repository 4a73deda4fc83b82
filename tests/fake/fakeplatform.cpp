#include "fakeplatform.h"

#include "platform/virtualkeys.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

qint16 FakeKeyState::GetAsyncKeyState(int vk)
{
    const qint16 result = peekAsyncKeyState(vk);
    pressed_[vk] = false;
    return result;
}

qint16 FakeKeyState::peekAsyncKeyState(int vk)
{
    qint16 result = 0;
    if (down_.value(vk))
        result |= static_cast<qint16>(0x8000);
    if (pressed_.value(vk))
        result |= 1;
    return result;
}

void FakeKeyState::setDown(int vk, bool isDown)
{
    if (isDown && !down_.value(vk))
        tap(vk);
    down_[vk] = isDown;
}

void FakeKeyState::tap(int vk)
{
    pressed_[vk] = true;
    if (watcher_)
        watcher_();
}

bool FakeKeyState::watchPresses(std::function<void()> pressed)
{
    watcher_ = std::move(pressed);
    return true;
}

bool FakeHotKeys::RegisterHotKey(quintptr window, quint32 modifiers, quint32 vk)
{
    if (failRegistrations)
        return false;
    registrations.append({window, modifiers, vk});
    return true;
}

quint32 FakeHotKeys::virtualKeyFor(QChar ch) const
{
    return typable.contains(ch) ? usVirtualKey(ch) : 0;
}

bool FakeHotKeys::press(quint32 modifiers, quint32 vk)
{
    for (const Registration& r : std::as_const(registrations)) {
        if (r.modifiers == modifiers && r.vk == vk) {
            Q_EMIT pressed(vk, modifiers);
            return true;
        }
    }
    return false;
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

FakeScreenGrab::FakeScreenGrab(FakeScreenPixels& screen, quintptr desktop)
    : screen_(screen), desktop_(desktop)
{
}

void FakeScreenGrab::settle(const QList<QWindow*>& vanishing_, const std::function<void()>& hide,
                            QDeadlineTimer)
{
    ++settles;
    vanishing.append(vanishing_);
    hide();
    settling_ = true;
    if (!holdSettle)
        QMetaObject::invokeMethod(this, &FakeScreenGrab::finishSettle, Qt::QueuedConnection);
}

void FakeScreenGrab::finishSettle()
{
    if (!settling_)
        return;
    settling_ = false;
    Q_EMIT settled();
}

void FakeScreenGrab::grab(quint64 ticket, const QRect& area)
{
    grabbedAreas.append(area);
    // The picture is the screen now, as a real grab's is, whenever the answer comes.
    held_.push_back({ticket, screen_.CaptureWindowRect(desktop_, false, area.x(), area.y(),
                                                       area.width(), area.height())});
    if (!holdGrab)
        QMetaObject::invokeMethod(this, [this] { finishGrab(); }, Qt::QueuedConnection);
}

bool FakeScreenGrab::showFrozen(QWindow* window, quint64 ticket)
{
    for (const Held& h : held_) {
        if (showsFrozen && h.ticket == ticket) {
            frozenIn.append(window);
            return true;
        }
    }
    return false;
}

CapturedBitmap FakeScreenGrab::waitForGrab(quint64 ticket)
{
    for (auto it = held_.begin(); it != held_.end(); ++it) {
        if (it->ticket == ticket) {
            const CapturedBitmap b = it->bitmap;
            held_.erase(it);
            return b;
        }
    }
    return {};
}

void FakeScreenGrab::finishGrab()
{
    if (held_.empty())
        return;
    const Held h = held_.front();
    held_.pop_front();
    if (!h.bitmap.image.isNull())
        Q_EMIT grabbed(h.ticket, h.bitmap);
    else
        Q_EMIT grabFailed(h.ticket, QStringLiteral("the pretend screen could not be read"));
}

StartupEntry::Result FakeStartupEntry::Add(const QString& programPath)
{
    calls.append(QStringLiteral("add ") + programPath);
    return result;
}

StartupEntry::Result FakeStartupEntry::Remove()
{
    calls.append(QStringLiteral("remove"));
    return result;
}

// The next answer from a queue, or none when it is empty.
template <typename T> static T next(std::deque<T>& answers)
{
    if (answers.empty())
        return {};
    T a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedDialogs::OpenFile(const QString& title, const QString& filter,
                                  const QString& defaultSuffix, const QString& initialName)
{
    asked.append({QStringLiteral("open"), title, filter, defaultSuffix, initialName});
    if (whileShown)
        whileShown();
    return next(fileAnswers);
}

QString ScriptedDialogs::SaveFile(const QString& title, const QString& filter,
                                  const QString& defaultSuffix, const QString& initialName)
{
    asked.append({QStringLiteral("save"), title, filter, defaultSuffix, initialName});
    return next(fileAnswers);
}

bool ScriptedDialogs::Printer(const QString& title, QPrinter*)
{
    asked.append({QStringLiteral("printer"), title, {}, {}, {}});
    return false;
}

std::optional<QColor> ScriptedDialogs::Color(const QString& title, const QColor&)
{
    asked.append({QStringLiteral("color"), title, {}, {}, {}});
    // A real dialog is modal: it runs an event loop of its own while the user chooses.
    QCoreApplication::processEvents();
    return next(colorAnswers);
}

FakePlatform::FakePlatform()
{
    name = QStringLiteral("fake");
    hasSystemTray = [] { return true; };
    auto k = std::make_unique<FakeKeyState>();
    fakeKeys = k.get();
    keys = std::move(k);
    auto h = std::make_unique<FakeHotKeys>();
    fakeHotKeys = h.get();
    hotKeys = std::move(h);
    auto f = std::make_unique<FakeForegroundWindow>();
    fakeForeground = f.get();
    foreground = std::move(f);
    auto s = std::make_unique<FakeScreenPixels>();
    fakeScreen = s.get();
    fakeScreen->windows = fakeForeground;
    screen = std::move(s);
    auto g = std::make_unique<FakeScreenGrab>(*fakeScreen, fakeForeground->desktop);
    fakeGrab = g.get();
    grab = std::move(g);
    auto c = std::make_unique<FakeCursorPosition>();
    fakeCursor = c.get();
    cursor = std::move(c);
    topMost = std::make_unique<FakeTopMost>();
    taskbar = std::make_unique<FakeTaskbar>();
    auto sh = std::make_unique<FakeShellOpen>();
    fakeShell = sh.get();
    shell = std::move(sh);
    auto st = std::make_unique<FakeStartupEntry>();
    fakeStartup = st.get();
    startup = std::move(st);
    auto m = std::make_unique<RecordingMessageBoxes>();
    fakeMessages = m.get();
    messages = std::move(m);
    auto d = std::make_unique<ScriptedDialogs>();
    fakeDialogs = d.get();
    dialogs = std::move(d);
}
