#pragma once

// Headless stand-ins for every platform service. Tests drive them directly and read back
// what the program asked of them.

#include "platform/platform.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class FakeKeyState : public KeyState
{
public:
    qint16 GetAsyncKeyState(int vk) override;
    qint16 peekAsyncKeyState(int vk) override;
    bool watchPresses(std::function<void()> pressed) override;
    void setDown(int vk, bool down);  // holds or releases a key, now
    void tap(int vk);                  // a press and release between two queries, now
private:
    QHash<int, bool> down_;
    QHash<int, bool> pressed_;
    std::function<void()> watcher_;
};

class FakeHotKeys : public HotKeys
{
public:
    struct Registration {
        quintptr window;
        quint32 modifiers;
        quint32 vk;
    };
    bool RegisterHotKey(quintptr window, quint32 modifiers, quint32 vk) override;
    quint32 virtualKeyFor(QChar ch) const override;

    // Presses a combination: reported by pressed, at once, when it was registered.
    bool press(quint32 modifiers, quint32 vk);

    QList<Registration> registrations;
    bool failRegistrations = false;
    // What the fake keyboard types: a US keyboard's letters, digits and punctuation.
    QString typable = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                     "0123456789;:=+,<-_.>/?`~[{\\|]}'\"");
};

class FakeForegroundWindow : public ForegroundWindow
{
public:
    quintptr GetForegroundWindow() override;
    quintptr GetDesktopWindow() override { return desktop; }
    bool GetWindowRect(quintptr hwnd, WindowRect* rect) override;

    quintptr desktop = 1;
    // 0 means: the widget that is Qt's active window, or nothing.
    quintptr foreground = 0;
    QHash<quintptr, WindowRect> rects; // explicit rectangles win over widget geometry
};

class FakeScreenPixels : public ScreenPixels
{
public:
    FakeScreenPixels();
    CapturedBitmap CaptureWindowRect(quintptr hwnd, bool client, int left, int top, int width,
                                     int height) override;
    // The pretend screen; widgets of ours that are shown are painted over it when captured.
    QImage screen;
    FakeForegroundWindow* windows = nullptr;
    int captures = 0;
    // Pretend to be a service that reads on any thread: our widgets are then left out, as they
    // can only be painted on the GUI thread, and duringRead runs in the middle of each read.
    bool anyThread = false;
    std::function<void()> duringRead;
    bool CapturesOnAnyThread() const override { return anyThread; }
};

// Settles at once and answers each grab from the event loop with what FakeScreenPixels shows at
// the grab; or, held, only when the test says so.
class FakeScreenGrab : public ScreenGrab
{
    Q_OBJECT
public:
    FakeScreenGrab(FakeScreenPixels& screen, quintptr desktop);
    Capabilities capabilities() const override { return WindowCapture | FrozenAtGrab; }
    void settle(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                QDeadlineTimer deadline) override;
    void cancelSettle() override { settling_ = false; }
    void grab(quint64 ticket, const QRect& area) override;
    bool showFrozen(QWindow* window, quint64 ticket) override;
    void dropFrozen(QWindow* window) override { frozenIn.removeAll(window); }
    CapturedBitmap waitForGrab(quint64 ticket) override;

    // Answers a held settle, and the oldest held grab (with its picture, or a failure).
    void finishSettle();
    void finishGrab();
    int heldGrabs() const { return int(held_.size()); }

    bool showsFrozen = false;             // whether showFrozen works
    QList<QWindow*> frozenIn;             // windows that show a frozen copy now
    bool holdSettle = false;
    bool holdGrab = false;
    int settles = 0;
    QList<QRect> grabbedAreas;               // every grab's area, in order
    QList<QList<QWindow*>> vanishing;        // what each settle was told would go

private:
    struct Held {
        quint64 ticket;
        CapturedBitmap bitmap;
    };
    FakeScreenPixels& screen_;
    quintptr desktop_;
    bool settling_ = false;
    std::deque<Held> held_;
};

class FakeCursorPosition : public CursorPosition
{
public:
    QPoint GetCursorPos() override { return pos; }
    QPoint pos;
};

class FakeTopMost : public TopMost
{
public:
    void SetTopMost(QWidget*) override {}
};

class FakeTaskbar : public Taskbar
{
public:
    void SkipTaskbar(QWidget*) override {}
};

class FakeShellOpen : public ShellOpen
{
public:
    bool Open(const QString& target) override
    {
        opened.append(target);
        return succeed;
    }
    QStringList opened;
    bool succeed = true;
};

class FakeStartupEntry : public StartupEntry
{
public:
    Result Add(const QString& programPath) override;
    Result Remove() override;
    QStringList calls; // "add <path>" or "remove"
    Result result = Result::Ok;
};

class RecordingMessageBoxes : public MessageBoxes
{
public:
    struct Shown {
        QString text;
        int style;
        QString title;
    };
    void Show(const QString& text, int style, const QString& title) override
    {
        shown.append({text, style, title});
    }
    QList<Shown> shown;
};

// Answers each dialog from a queue; an empty queue answers Cancel.
class ScriptedDialogs : public DialogBackend
{
public:
    QString OpenFile(const QString& title, const QString& filter, const QString& defaultSuffix,
                     const QString& initialName) override;
    QString SaveFile(const QString& title, const QString& filter, const QString& defaultSuffix,
                     const QString& initialName) override;
    bool Printer(const QString& title, QPrinter* printer) override;
    std::optional<QColor> Color(const QString& title, const QColor& initial) override;

    struct Asked {
        QString kind; // "open", "save", "printer", "color"
        QString title;
        QString filter;
        QString defaultSuffix;
        QString initialName;
    };
    QList<Asked> asked;
    std::function<void()> whileShown; // runs while each dialog is shown, as requests may
    std::deque<QString> fileAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
};

struct FakePlatform : Platform {
    FakePlatform();
    FakeKeyState* fakeKeys;
    FakeHotKeys* fakeHotKeys;
    FakeForegroundWindow* fakeForeground;
    FakeScreenPixels* fakeScreen;
    FakeScreenGrab* fakeGrab;
    FakeCursorPosition* fakeCursor;
    FakeShellOpen* fakeShell;
    FakeStartupEntry* fakeStartup;
    RecordingMessageBoxes* fakeMessages;
    ScriptedDialogs* fakeDialogs;
};
