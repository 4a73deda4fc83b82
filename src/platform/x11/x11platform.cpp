#include "x11platform.h"

#include "platform/dbus/dbusinstance.h"
#include "platform/dbus/dbusnotifications.h"
#include "platform/qt/qtservices.h"
#include "platform/xdg/xdgautostart.h"
#include "platform/xdg/xdgopen.h"
#include "x11connection.h"
#include "x11keyboard.h"
#include "x11screengrab.h"
#include "x11screenpixels.h"
#include "x11windows.h"

void addCommonX11Services(Platform& p, const std::shared_ptr<X11Connection>& connection)
{
    p.keys = std::make_unique<X11KeyState>(connection);
    p.cursor = std::make_unique<QtCursorPosition>();
    p.topMost = std::make_unique<X11TopMost>(connection);
    p.taskbar = std::make_unique<X11Taskbar>(connection);
    p.shell = std::make_unique<XdgShellOpen>();
    p.startup = std::make_unique<XdgAutostartEntry>();
    p.messages = std::make_unique<QtMessageBoxes>(p.taskbar.get());
    p.dialogs = std::make_unique<QtDialogs>();
    p.instances = std::make_unique<DBusInstanceChannel>();
    p.desktopNotifications = std::make_unique<DBusNotifications>(QDBusConnection::sessionBus());
}

std::unique_ptr<Platform> createX11Platform()
{
    // One connection of our own, shared by the services that talk to the X server.
    auto connection = std::make_shared<X11Connection>();
    auto p = std::make_unique<Platform>();
    p->name = QStringLiteral("x11");
    addCommonX11Services(*p, connection);
    p->hotKeys = std::make_unique<X11HotKeys>(connection);
    p->foreground = std::make_unique<X11ForegroundWindow>(connection);
    p->screen = std::make_unique<X11ScreenPixels>(connection);
    p->grab = std::make_unique<X11ScreenGrab>(connection);
    return p;
}
