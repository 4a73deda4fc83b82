#pragma once

#include "platform/foregroundwindow.h"
#include "platform/platform.h"

#include <memory>

// The foreground window as far as a Wayland session lets a program know it: its own windows only.
// Any other window (native ones are invisible to X altogether) counts as none, so a window capture
// takes the screen instead.
class OwnForegroundWindow : public ForegroundWindow
{
public:
    explicit OwnForegroundWindow(std::unique_ptr<ForegroundWindow> inner);

    quintptr GetForegroundWindow() override;
    quintptr GetDesktopWindow() override;
    bool GetWindowRect(quintptr hwnd, WindowRect* rect) override;

private:
    std::unique_ptr<ForegroundWindow> inner_;
};

class QDBusConnection;

// How a Wayland session's screen is read: straight from the compositor where it offers that
// without a dialog (wlroots' screencopy, KWin's screenshot interface), else through `portal`, which
// stays as the fallback in every case.
std::unique_ptr<ScreenGrab> chooseWaylandGrab(std::unique_ptr<ScreenGrab> portal,
                                              const QDBusConnection& bus);

// The backend for a Wayland session: the X11 services on XWayland for the windows, with the screen
// read from the compositor or through the desktop portal, the hot key bound through the portal's
// global shortcuts, and the foreground window limited to the program's own.
std::unique_ptr<Platform> createWaylandPlatform();
