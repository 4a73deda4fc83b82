#include "nullplatform.h"

#include "platform/qt/localinstance.h"
#include "platform/qt/qtservices.h"
#include "platform/virtualkeys.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

class NoKeys : public KeyState
{
public:
    qint16 GetAsyncKeyState(int) override { return 0; }
    qint16 peekAsyncKeyState(int) override { return 0; }
};

class NoHotKeys : public HotKeys
{
public:
    bool RegisterHotKey(quintptr, quint32, quint32) override { return false; }
    // What a US keyboard types, so that a stored letter still reads as a key.
    quint32 virtualKeyFor(QChar ch) const override { return usVirtualKey(ch); }
};

class NoForeground : public ForegroundWindow
{
public:
    quintptr GetForegroundWindow() override { return 0; }
    quintptr GetDesktopWindow() override { return 0; }
    bool GetWindowRect(quintptr, WindowRect*) override { return false; }
};

class NoScreenPixels : public ScreenPixels
{
public:
    CapturedBitmap CaptureWindowRect(quintptr, bool, int, int, int, int) override { return {}; }
};

// Settles at once and fails every grab, from the event loop.
class NoScreenGrab : public ScreenGrab
{
public:
    Capabilities capabilities() const override { return {}; }
    void settle(const QList<QWindow*>&, const std::function<void()>& hide, QDeadlineTimer) override
    {
        hide();
        QMetaObject::invokeMethod(this, [this] { Q_EMIT settled(); }, Qt::QueuedConnection);
    }
    void cancelSettle() override {}
    void grab(quint64 ticket, const QRect&) override
    {
        QMetaObject::invokeMethod(
            this,
            [this, ticket] {
                Q_EMIT grabFailed(ticket, QCoreApplication::translate(
                                              "Platform", "this windowing system gives no screen"));
            },
            Qt::QueuedConnection);
    }
    CapturedBitmap waitForGrab(quint64) override { return {}; }
};

class NoStartupEntry : public StartupEntry
{
public:
    Result Add(const QString&) override { return Result::CannotAccess; }
    Result Remove() override { return Result::Ok; }
};

class NoTaskbar : public Taskbar
{
public:
    void SkipTaskbar(QWidget*) override {}
};

} // namespace

QString nullPlatformNotice(const QString& qpaName)
{
    return QCoreApplication::translate("Platform",
                                       "Scrawlix does not support this windowing system (\"%1\"): "
                                       "it cannot read the screen, register its hot key, or start "
                                       "with the system here.")
        .arg(qpaName);
}

std::unique_ptr<Platform> createNullPlatform(const QString& qpaName)
{
    auto p = std::make_unique<Platform>();
    p->name = QStringLiteral("none");
    p->keys = std::make_unique<NoKeys>();
    p->hotKeys = std::make_unique<NoHotKeys>();
    p->foreground = std::make_unique<NoForeground>();
    p->screen = std::make_unique<NoScreenPixels>();
    p->grab = std::make_unique<NoScreenGrab>();
    p->cursor = std::make_unique<QtCursorPosition>();
    p->topMost = std::make_unique<QtTopMost>();
    p->shell = std::make_unique<QtShellOpen>();
    p->startup = std::make_unique<NoStartupEntry>();
    p->taskbar = std::make_unique<NoTaskbar>();
    p->messages = std::make_unique<QtMessageBoxes>(p->taskbar.get());
    p->dialogs = std::make_unique<QtDialogs>();
    // One program per user: a local socket in the user's runtime folder.
    p->instances = std::make_unique<LocalInstanceChannel>(
        QStringLiteral("scrawlix-") + QString::fromLocal8Bit(qgetenv("USER")));
    p->notices->tellOnce(QStringLiteral("platform"), nullPlatformNotice(qpaName));
    return p;
}
