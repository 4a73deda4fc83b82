#pragma once

#include "cursorposition.h"
#include "dialogs.h"
#include "foregroundwindow.h"
#include "hotkeys.h"
#include "instancechannel.h"
#include "keystate.h"
#include "messagebox.h"
#include "notices.h"
#include "screengrab.h"
#include "screenpixels.h"
#include "shellopen.h"
#include "startupentry.h"
#include "taskbar.h"
#include "topmost.h"

#include <QString>
#include <functional>
#include <memory>

// The operating-system services the program uses, behind small interfaces. One backend per
// windowing system (X11, Wayland, Win32), and a null platform for any other.
struct Platform {
    QString name; // "x11", "wayland", "win32", "none", or the tests' "fake"
    std::unique_ptr<KeyState> keys;
    std::unique_ptr<HotKeys> hotKeys;
    std::unique_ptr<ForegroundWindow> foreground;
    std::unique_ptr<ScreenPixels> screen; // what is on the screen now (the canvas, for a snapshot)
    std::unique_ptr<ScreenGrab> grab;     // freezing the screen for a capture
    std::unique_ptr<CursorPosition> cursor;
    std::unique_ptr<TopMost> topMost;
    std::unique_ptr<Taskbar> taskbar;
    std::unique_ptr<ShellOpen> shell;
    std::unique_ptr<StartupEntry> startup;
    std::unique_ptr<MessageBoxes> messages;
    std::unique_ptr<DialogBackend> dialogs;
    std::unique_ptr<InstanceChannel> instances; // one running program per session
    // What the services have to tell the user; the shell points it at the tray, or where the tray
    // shows nothing, at the desktop's notifications (null where the system has none of its own).
    std::shared_ptr<Notices> notices = std::make_shared<Notices>();
    std::unique_ptr<DesktopNotifications> desktopNotifications;
    // Whether the desktop shows a system tray for the icon; unset: as Qt finds it.
    std::function<bool()> hasSystemTray;

    virtual ~Platform() = default;
};

// Builds the backend for Qt's platform plugin name ("xcb", "windows"). On xcb, a Wayland session
// (see isWaylandSession) gets the Wayland backend. Any other platform ("offscreen", "minimal",
// one this build has no backend for) gets the null platform, which tells the user what it cannot
// do.
std::unique_ptr<Platform> createPlatform(const QString& qpaName, bool waylandSession = false);

// What main() should do about the windowing system before the application object exists.
struct PlatformChoice {
    QString qpaPlatform; // value for QT_QPA_PLATFORM, empty to leave Qt's default
    QString error;       // non-empty: tell the user and end
};

// Picks the Qt platform from the environment: an explicit QT_QPA_PLATFORM is kept, a Wayland
// session runs through XWayland when DISPLAY is set, and no usable display is an error.
PlatformChoice choosePlatform(const QString& qtQpaPlatform, const QString& display,
                              const QString& waylandDisplay, bool isWindows);

// Why the X display cannot be used (no server answers at DISPLAY), or an empty string. Only asked
// when the program is about to run on X11.
QString displayProblem(const QString& qpaPlatform, const QString& display);
