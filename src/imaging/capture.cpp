#include "capture.h"

#include "platform/foregroundwindow.h"
#include "platform/screenpixels.h"

#include <QGuiApplication>
#include <QScreen>
#include <limits>

Picture CreateBitmapPicture(const CapturedBitmap& bitmap)
{
    if (bitmap.image.isNull())
        return {};
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpiX = s ? s->logicalDotsPerInchX() : 96.0;
    const double dpiY = s ? s->logicalDotsPerInchY() : 96.0;
    return Picture(bitmap.image, bitmap.palette, dpiX, dpiY);
}

QRect primaryMonitorRect()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s)
        return {};
    // Qt keeps a screen's origin in device pixels and scales only its size.
    const QRect r = s->geometry();
    return QRect(r.topLeft(), r.size() * s->devicePixelRatio());
}

std::optional<QRect> windowCapturePlacement(const WindowRect& r)
{
    const qint64 width = qint64(r.right) - r.left;
    const qint64 height = qint64(r.bottom) - r.top;
    const qint64 left = qint64(r.left) - 1;
    const qint64 top = qint64(r.top) - 1;
    constexpr qint64 lo = std::numeric_limits<qint32>::min();
    constexpr qint64 hi = std::numeric_limits<qint32>::max();
    if (width > hi || height > hi || left < lo || top < lo)
        return std::nullopt;
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                 static_cast<int>(height));
}

std::optional<QRect> activeWindowPlacement(ForegroundWindow& foreground)
{
    const quintptr w = foreground.GetForegroundWindow();
    WindowRect r;
    if (w == 0 || !foreground.GetWindowRect(w, &r))
        return std::nullopt;
    return windowCapturePlacement(r);
}

QRect windowCaptureArea(const QRect& placement)
{
    return placement.translated(1, 1);
}
