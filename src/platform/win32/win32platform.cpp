#include "win32platform.h"

#include "platform/qt/qtservices.h"
#include "win32instance.h"
#include "win32services.h"

std::unique_ptr<Platform> createWin32Platform()
{
    auto p = std::make_unique<Platform>();
    p->name = QStringLiteral("win32");
    p->keys = std::make_unique<Win32KeyState>();
    p->hotKeys = std::make_unique<Win32HotKeys>();
    p->foreground = std::make_unique<Win32ForegroundWindow>();
    p->screen = std::make_unique<Win32ScreenPixels>();
    // The desktop composes what our windows covered at its next frame or two.
    p->grab = std::make_unique<ReaderGrab>(*p->screen, p->foreground->GetDesktopWindow(),
                                           ScreenGrab::WindowCapture, 50);
    p->cursor = std::make_unique<QtCursorPosition>();
    p->topMost = std::make_unique<Win32TopMost>();
    p->taskbar = std::make_unique<Win32Taskbar>();
    p->shell = std::make_unique<Win32ShellOpen>();
    p->startup = std::make_unique<Win32StartupEntry>();
    p->messages = std::make_unique<QtMessageBoxes>();
    p->dialogs = std::make_unique<QtDialogs>();
    p->instances = std::make_unique<Win32InstanceChannel>();
    return p;
}
