#pragma once

#include <QtGlobal>

// Screen rectangle in pixels; right and bottom are exclusive.
struct WindowRect {
    qint32 left = 0;
    qint32 top = 0;
    qint32 right = 0;
    qint32 bottom = 0;
};

// Which window has the focus, and where it is on the screen.
class ForegroundWindow
{
public:
    virtual ~ForegroundWindow() = default;

    // The window that has the keyboard focus now, 0 when there is none.
    virtual quintptr GetForegroundWindow() = 0;
    // The window covering the whole primary screen (the root window on X11).
    virtual quintptr GetDesktopWindow() = 0;
    // The whole window as the user sees it, frame and title bar included.
    virtual bool GetWindowRect(quintptr hwnd, WindowRect* rect) = 0;
};
