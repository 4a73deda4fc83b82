#pragma once

// The Win32 implementations of the platform services. Window handles travel as quintptr
// (an HWND's value), so this header stays free of <windows.h>.

#include "platform/foregroundwindow.h"
#include "platform/hotkeys.h"
#include "platform/keystate.h"
#include "platform/screenpixels.h"
#include "platform/shellopen.h"
#include "platform/startupentry.h"
#include "platform/taskbar.h"
#include "platform/topmost.h"

#include <QList>
#include <QSet>

// GetAsyncKeyState for the held bit. The pressed-since-the-last-query bit comes from a low-level
// keyboard hook, which notes when each key last went down, and is set only for a recent press.
// Without the hook (it is refused in some sessions) the system's bit is passed on as it is.
class Win32KeyState : public KeyState
{
public:
    Win32KeyState();
    ~Win32KeyState() override;
    Win32KeyState(const Win32KeyState&) = delete;
    Win32KeyState& operator=(const Win32KeyState&) = delete;

    qint16 GetAsyncKeyState(int vk) override;
    // The key as the message being handled found it; the system's pressed-since bit, which any
    // call of GetAsyncKeyState clears, is left alone.
    qint16 peekAsyncKeyState(int vk) override;

private:
    void* hook_ = nullptr; // HHOOK
};

// Registers system-wide hot keys for our windows. Each window that owns one has its window
// procedure subclassed (HookWindow): WindowProc turns WM_HOTKEY into the pressed signal and hands
// every other message on to the window's own procedure (Qt's).
class Win32HotKeys : public HotKeys
{
public:
    Win32HotKeys() = default;
    ~Win32HotKeys() override;
    Win32HotKeys(const Win32HotKeys&) = delete;
    Win32HotKeys& operator=(const Win32HotKeys&) = delete;

    // `window` must belong to this thread; it receives the presses.
    bool RegisterHotKey(quintptr window, quint32 modifiers, quint32 vk) override;
    quint32 virtualKeyFor(QChar ch) const override;

    // The subclass procedure of a hooked window, in the types of this header; `self` is the
    // Win32HotKeys that hooked it.
    static qintptr WindowProc(quintptr hwnd, quint32 msg, quintptr wParam, qintptr lParam,
                              quintptr self);

private:
    // Puts WindowProc in front of the window's procedure, once per window.
    bool HookWindow(quintptr hwnd);
    // The window is going away: its hot keys and our hook go with it.
    void forget(quintptr hwnd);

    struct Registration {
        quintptr hwnd;
        int id;
    };
    QList<Registration> registrations_;
    QSet<quintptr> hooked_; // windows whose procedure we subclassed
    int nextId_ = 1;        // Windows numbers a window's hot keys by an id of its owner's choice
};

class Win32ForegroundWindow : public ForegroundWindow
{
public:
    quintptr GetForegroundWindow() override;
    quintptr GetDesktopWindow() override;
    bool GetWindowRect(quintptr hwnd, WindowRect* rect) override;
};

class Win32ScreenPixels : public ScreenPixels
{
public:
    CapturedBitmap CaptureWindowRect(quintptr hwnd, bool client, int left, int top, int width,
                                     int height) override;
    // GDI screen and memory DCs of the calling thread's own.
    bool CapturesOnAnyThread() const override { return true; }
};

// Raises the window into the topmost band without moving, resizing or re-creating it.
class Win32TopMost : public TopMost
{
public:
    void SetTopMost(QWidget* window) override;
};

// Windows lists no tool window in its taskbar, and the canvas and the toolbox are tool windows;
// a message box keeps its button there, as the boxes of every program do on Windows.
class Win32Taskbar : public Taskbar
{
public:
    void SkipTaskbar(QWidget*) override {}
};

class Win32ShellOpen : public ShellOpen
{
public:
    bool Open(const QString& target) override;
};

// The "Scrawlix" value under the machine-wide Run key. The key is only opened, never created.
class Win32StartupEntry : public StartupEntry
{
public:
    Result Add(const QString& programPath) override;
    Result Remove() override;
};
