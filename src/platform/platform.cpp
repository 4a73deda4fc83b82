#include "platform.h"

#include "null/nullplatform.h"

#include <QCoreApplication>

#if defined(Q_OS_WIN)
#include "win32/win32platform.h"
#elif defined(SCRAWLIX_HAVE_X11)
#include "wayland/waylandplatform.h"
#include "x11/x11platform.h"
#include <xcb/xcb.h>
#endif

std::unique_ptr<Platform> createPlatform(const QString& qpaName, bool waylandSession)
{
    Q_UNUSED(waylandSession); // only X11 has a Wayland variant
#if defined(Q_OS_WIN)
    if (qpaName == QLatin1String("windows"))
        return createWin32Platform();
#elif defined(SCRAWLIX_HAVE_X11)
    if (qpaName == QLatin1String("xcb"))
        return waylandSession ? createWaylandPlatform() : createX11Platform();
#endif
    return createNullPlatform(qpaName);
}

PlatformChoice choosePlatform(const QString& qtQpaPlatform, const QString& display,
                              const QString& waylandDisplay, bool isWindows)
{
    PlatformChoice c;
    if (isWindows)
        return c;
    if (!qtQpaPlatform.isEmpty()) {
        // An explicit choice is kept, except Wayland itself: placing the borderless canvas and the
        // topmost toolbox needs X11, so the windows of a Wayland session run on XWayland (the
        // screen and the hot key then come from the desktop portal).
        if (!qtQpaPlatform.startsWith(QLatin1String("wayland")))
            return c;
    }
    if (!display.isEmpty()) {
        c.qpaPlatform = QStringLiteral("xcb");
        return c;
    }
    if (!waylandDisplay.isEmpty() || qtQpaPlatform.startsWith(QLatin1String("wayland"))) {
        c.error = QCoreApplication::translate(
            "Platform",
            "Scrawlix needs an X11 session. This Wayland session offers no XWayland display "
            "(DISPLAY is not set); log in to an X11 session or enable XWayland.");
        return c;
    }
    c.error = QCoreApplication::translate(
        "Platform",
        "Scrawlix needs a graphical X11 session, but no display is set (DISPLAY is empty). "
        "Start it from a desktop session.");
    return c;
}

QString displayProblem(const QString& qpaPlatform, const QString& display)
{
#if defined(SCRAWLIX_HAVE_X11)
    if (qpaPlatform != QLatin1String("xcb"))
        return {};
    xcb_connection_t* c = xcb_connect(display.isEmpty() ? nullptr : display.toLocal8Bit().constData(), nullptr);
    const int err = xcb_connection_has_error(c);
    xcb_disconnect(c);
    if (err == 0)
        return {};
    return QCoreApplication::translate("Platform",
                                       "cannot connect to the X11 display \"%1\": no X server "
                                       "answers there. Check DISPLAY, or start Scrawlix from a "
                                       "desktop session.")
        .arg(display);
#else
    Q_UNUSED(qpaPlatform);
    Q_UNUSED(display);
    return {};
#endif
}
