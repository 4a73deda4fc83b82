#include "waylandplatform.h"

#include "compositorgrab.h"
#include "kwinscreenshot.h"
#include "platform/notices.h"
#include "platform/portal/portalscreenshot.h"
#include "platform/portal/portalshortcuts.h"
#include "platform/x11/x11connection.h"
#include "platform/x11/x11keyboard.h"
#include "platform/x11/x11platform.h"
#include "platform/x11/x11screengrab.h"
#include "platform/x11/x11screenpixels.h"
#include "platform/x11/x11windows.h"
#include "wlrscreencopy.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

OwnForegroundWindow::OwnForegroundWindow(std::unique_ptr<ForegroundWindow> inner)
    : inner_(std::move(inner))
{
}

quintptr OwnForegroundWindow::GetForegroundWindow()
{
    const quintptr w = inner_->GetForegroundWindow();
    if (w == 0)
        return 0;
    for (const QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle() && static_cast<quintptr>(window->winId()) == w)
            return w;
    }
    return 0;
}

quintptr OwnForegroundWindow::GetDesktopWindow()
{
    return inner_->GetDesktopWindow();
}

bool OwnForegroundWindow::GetWindowRect(quintptr hwnd, WindowRect* rect)
{
    return inner_->GetWindowRect(hwnd, rect);
}

namespace {

// The compositor draws what our windows covered at its next frame or two.
constexpr int kCompositorRepaintMs = 50;

QRect primaryGeometry()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect();
}

QRect desktopGeometry()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->virtualGeometry() : QRect();
}

} // namespace

std::unique_ptr<ScreenGrab> chooseWaylandGrab(std::unique_ptr<ScreenGrab> portal,
                                              const QDBusConnection& bus)
{
    // A compositor that lets us read the screen ourselves is asked directly: no file, no dialog,
    // no pointer. The portal stays behind it for when the compositor refuses.
    if (std::unique_ptr<WlrScreencopy> wlr = WlrScreencopy::open())
        return std::make_unique<CompositorGrab>(std::move(wlr), std::move(portal), kCompositorRepaintMs);
    if (std::unique_ptr<KWinScreenShot> kwin = KWinScreenShot::open(bus))
        return std::make_unique<CompositorGrab>(std::move(kwin), std::move(portal), kCompositorRepaintMs);
    return portal;
}

std::unique_ptr<Platform> createWaylandPlatform()
{
    // The program's windows live on XWayland, and so do its X services.
    auto connection = std::make_shared<X11Connection>();
    auto p = std::make_unique<Platform>();
    p->name = QStringLiteral("wayland");
    addCommonX11Services(*p, connection);
    const QDBusConnection bus = QDBusConnection::sessionBus();
    // An X grab sees keys only while an X client has the focus: the portal binds the hot key, and
    // the grab serves where there is no portal.
    p->hotKeys = std::make_unique<PortalHotKeys>(bus, std::make_unique<X11HotKeys>(connection),
                                                 p->notices);
    p->foreground =
        std::make_unique<OwnForegroundWindow>(std::make_unique<X11ForegroundWindow>(connection));
    // The root of a rootless XWayland holds no pixels: the program's windows are read from their
    // own, and the screen comes from the compositor or the portal.
    p->screen = std::make_unique<X11ScreenPixels>(connection, X11ScreenPixels::Transfer::Auto,
                                                  X11ScreenPixels::Source::Window);
    p->grab = chooseWaylandGrab(std::make_unique<PortalGrab>(
        std::make_unique<X11ScreenGrab>(connection), p->notices,
        [bus](QObject* context, std::function<void(const PortalShot&)> done) {
            takePortalScreenshot(bus, context, std::move(done));
        },
        desktopGeometry, primaryGeometry), bus);
    return p;
}
