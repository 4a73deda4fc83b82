#pragma once

// Other programs' windows and the stacking of ours, through the window manager's EWMH hints.

#include "platform/foregroundwindow.h"
#include "platform/taskbar.h"
#include "platform/topmost.h"
#include "x11connection.h"

#include <memory>

class X11ForegroundWindow : public ForegroundWindow
{
public:
    explicit X11ForegroundWindow(std::shared_ptr<X11Connection> connection);

    quintptr GetForegroundWindow() override;
    quintptr GetDesktopWindow() override;
    bool GetWindowRect(quintptr hwnd, WindowRect* rect) override;

private:
    std::shared_ptr<X11Connection> c_;
};

// _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER on the program's windows.
class X11Taskbar : public Taskbar
{
public:
    explicit X11Taskbar(std::shared_ptr<X11Connection> connection);
    ~X11Taskbar() override;
    void SkipTaskbar(QWidget* window) override;

private:
    class Keeper;
    std::shared_ptr<X11Connection> c_;
    std::unique_ptr<Keeper> keeper_;
};

class X11TopMost : public TopMost
{
public:
    explicit X11TopMost(std::shared_ptr<X11Connection> connection);
    ~X11TopMost() override;
    void SetTopMost(QWidget* window) override;

private:
    class Keeper;
    std::shared_ptr<X11Connection> c_;
    std::unique_ptr<Keeper> keeper_;
};
