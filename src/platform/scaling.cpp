#include "scaling.h"

#include <QList>
#include <QtGlobal>
#include <cmath>

#if defined(SCRAWLIX_HAVE_X11)
#include <xcb/xcb.h>
#include <cstdlib>
#endif

namespace {

double positive(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && v > 0 && std::isfinite(v) ? v : 0;
}

// The first entry of "1.5;2" or "HDMI-1=1.5;DP-1=2".
double firstScreenFactor(const QString& list)
{
    const QString first = list.section(QLatin1Char(';'), 0, 0);
    return positive(first.section(QLatin1Char('='), -1));
}

double desktopDotsPerInch(const QString& qpaPlatform, const QString& display)
{
#if defined(SCRAWLIX_HAVE_X11)
    if (qpaPlatform != QLatin1String("xcb"))
        return 0;
    const QByteArray name = display.toLocal8Bit();
    xcb_connection_t* c = xcb_connect(name.isEmpty() ? nullptr : name.constData(), nullptr);
    double dpi = 0;
    if (!xcb_connection_has_error(c)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c,
            xcb_get_property(c, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0,
                             1 << 20),
            nullptr);
        if (reply) {
            dpi = xftDpiFromResources(QByteArray(
                static_cast<const char*>(xcb_get_property_value(reply)),
                xcb_get_property_value_length(reply)));
            std::free(reply);
        }
    }
    xcb_disconnect(c);
    return dpi;
#else
    // Qt on Windows reads the system's dpi itself; the variables are then folded in at 96.
    Q_UNUSED(qpaPlatform);
    Q_UNUSED(display);
    return 0;
#endif
}

} // namespace

ScaleEnvironment deviceScaleEnvironment(const QString& scaleFactor, const QString& screenFactors,
                                        const QString& fontDpi, double desktopDpi)
{
    ScaleEnvironment env;
    env.set.append(qMakePair(QByteArray("QT_ENABLE_HIGHDPI_SCALING"), QByteArray("0")));
    env.unset = {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                 "QT_USE_PHYSICAL_DPI"};
    double factor = 1;
    if (const double f = positive(scaleFactor))
        factor *= f;
    if (const double f = firstScreenFactor(screenFactors))
        factor *= f;
    if (factor == 1)
        return env; // Qt reads the desktop's own dpi, or QT_FONT_DPI as the user set it
    double base = positive(fontDpi);
    if (base == 0)
        base = desktopDpi > 0 ? desktopDpi : 96;
    const long long dpi = std::llround(base * factor);
    env.set.append(qMakePair(QByteArray("QT_FONT_DPI"), QByteArray::number(qMax(1LL, dpi))));
    return env;
}

double xftDpiFromResources(const QByteArray& resources)
{
    for (const QByteArray& line : resources.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed() != "Xft.dpi")
            continue;
        bool ok = false;
        const double v = line.mid(colon + 1).trimmed().toDouble(&ok);
        return ok && v > 0 ? v : 0;
    }
    return 0;
}

void useDevicePixels(const QString& qpaPlatform, const QString& display)
{
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR");
    const QString screens = qEnvironmentVariable("QT_SCREEN_SCALE_FACTORS");
    // The desktop's dpi costs a connection; it only matters when a factor is given.
    const bool needDpi = !scale.isEmpty() || !screens.isEmpty();
    const ScaleEnvironment env =
        deviceScaleEnvironment(scale, screens, qEnvironmentVariable("QT_FONT_DPI"),
                               needDpi ? desktopDotsPerInch(qpaPlatform, display) : 0);
    for (const QByteArray& name : env.unset)
        qunsetenv(name.constData());
    for (const auto& [name, value] : env.set)
        qputenv(name.constData(), value);
}
