#pragma once

// Headless stand-ins for every platform service. Tests drive them directly and read back
// what the program asked of them.

#include "platform/platform.h"

#include <QColor>
#include <QCoreApplication>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class FakeKeyState : public KeyState
{
public:
    qint16 GetAsyncKeyState(int vk) override
    {
        const qint16 result = peekAsyncKeyState(vk);
        pressed_[vk] = false;
        return result;
    }
    qint16 peekAsyncKeyState(int vk) override
    {
        return qint16((down_.value(vk) ? 0x8000 : 0) | (pressed_.value(vk) ? 1 : 0));
    }
    bool watchPresses(std::function<void()> pressed) override
    {
        watcher_ = std::move(pressed);
        return true;
    }
    // Holds or releases a key, now.
    void setDown(int vk, bool isDown)
    {
        if (isDown && !down_.value(vk))
            tap(vk);
        down_[vk] = isDown;
    }
    // A press and release between two queries, now.
    void tap(int vk)
    {
        pressed_[vk] = true;
        if (watcher_)
            watcher_();
    }

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
    bool RegisterHotKey(quintptr window, quint32 modifiers, quint32 vk) override
    {
        if (!failRegistrations)
            registrations.append({window, modifiers, vk});
        return !failRegistrations;
    }
    quint32 virtualKeyFor(QChar ch) const override;

    // Presses a combination: reported by pressed, at once, when it was registered.
    bool press(quint32 modifiers, quint32 vk)
    {
        for (const Registration& r : std::as_const(registrations)) {
            if (r.modifiers == modifiers && r.vk == vk) {
                Q_EMIT pressed(vk, modifiers);
                return true;
            }
        }
        return false;
    }

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
    FakeScreenGrab(FakeScreenPixels& screen, quintptr desktop) : screen_(screen), desktop_(desktop) {}
    Capabilities capabilities() const override { return WindowCapture | FrozenAtGrab; }
    void settle(const QList<QWindow*>& vanishing_, const std::function<void()>& hide, QDeadlineTimer) override
    {
        ++settles;
        vanishing.append(vanishing_);
        hide();
        settling_ = true;
        if (!holdSettle)
            QMetaObject::invokeMethod(this, &FakeScreenGrab::finishSettle, Qt::QueuedConnection);
    }
    void cancelSettle() override { settling_ = false; }
    void grab(quint64 ticket, const QRect& area) override
    {
        grabbedAreas.append(area);
        // The picture is the screen now, as a real grab's is, whenever the answer comes.
        held_.push_back({ticket, screen_.CaptureWindowRect(desktop_, false, area.x(), area.y(),
                                                           area.width(), area.height())});
        if (!holdGrab)
            QMetaObject::invokeMethod(this, [this] { finishGrab(); }, Qt::QueuedConnection);
    }
    bool showFrozen(QWindow* window, quint64 ticket) override
    {
        if (!showsFrozen || held(ticket) == held_.end())
            return false;
        frozenIn.append(window);
        return true;
    }
    void dropFrozen(QWindow* window) override { frozenIn.removeAll(window); }
    CapturedBitmap waitForGrab(quint64 ticket) override
    {
        const auto it = held(ticket);
        if (it == held_.end())
            return {};
        const CapturedBitmap b = it->bitmap;
        held_.erase(it);
        return b;
    }

    // Answers a held settle.
    void finishSettle()
    {
        if (std::exchange(settling_, false))
            Q_EMIT settled();
    }
    // Answers the oldest held grab, with its picture or a failure.
    void finishGrab()
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
    std::deque<Held>::iterator held(quint64 ticket)
    {
        return std::find_if(held_.begin(), held_.end(), [ticket](const Held& h) { return h.ticket == ticket; });
    }
    FakeScreenPixels& screen_;
    quintptr desktop_;
    bool settling_ = false;
    std::deque<Held> held_;
};

struct FakeCursorPosition : CursorPosition {
    QPoint GetCursorPos() override { return pos; }
    QPoint pos;
};
struct FakeTopMost : TopMost {
    void SetTopMost(QWidget*) override {}
};
struct FakeTaskbar : Taskbar {
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
    Result Add(const QString& programPath) override
    {
        calls.append(QStringLiteral("add ") + programPath);
        return result;
    }
    Result Remove() override
    {
        calls.append(QStringLiteral("remove"));
        return result;
    }
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
                     const QString& initialName) override
    {
        asked.append({QStringLiteral("open"), title, filter, defaultSuffix, initialName});
        if (whileShown)
            whileShown();
        return next(fileAnswers);
    }
    QString SaveFile(const QString& title, const QString& filter, const QString& defaultSuffix,
                     const QString& initialName) override
    {
        asked.append({QStringLiteral("save"), title, filter, defaultSuffix, initialName});
        return next(fileAnswers);
    }
    bool Printer(const QString& title, QPrinter*) override
    {
        asked.append({QStringLiteral("printer"), title, {}, {}, {}});
        return false;
    }
    std::optional<QColor> Color(const QString& title, const QColor&) override
    {
        asked.append({QStringLiteral("color"), title, {}, {}, {}});
        // A real dialog is modal: it runs an event loop of its own while the user chooses.
        QCoreApplication::processEvents();
        return next(colorAnswers);
    }

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

private:
    // The next answer from a queue, or none when it is empty.
    template <typename T> static T next(std::deque<T>& answers)
    {
        if (answers.empty())
            return {};
        T a = answers.front();
        answers.pop_front();
        return a;
    }
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
