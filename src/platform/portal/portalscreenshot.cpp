#include "portalscreenshot.h"

#include "platform/notices.h"

#include <QDBusMessage>
#include <QFile>
#include <QLoggingCategory>
#include <QPainter>
#include <QUrl>

Q_LOGGING_CATEGORY(lcPortal, "scrawlix.portal", QtInfoMsg)

PortalShot takePortalScreenshot(const QDBusConnection& bus, int timeoutMs)
{
    PortalRequest request(bus);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(kPortalService), QLatin1String(kPortalPath),
        QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"));
    const QVariantMap options = {
        {QStringLiteral("handle_token"), request.token()},
        {QStringLiteral("modal"), false},
        {QStringLiteral("interactive"), false},
    };
    call << QString() << options;
    const PortalAnswer answer = request.sendAndWait(call, timeoutMs);

    PortalShot shot;
    shot.outcome = answer.kind;
    shot.detail = answer.detail;
    if (answer.kind != PortalAnswer::Granted)
        return shot;
    const QUrl uri(answer.results.value(QStringLiteral("uri")).toString());
    const QString file = uri.toLocalFile();
    if (!uri.isLocalFile() || file.isEmpty()) {
        shot.outcome = PortalAnswer::Failed;
        shot.detail = QStringLiteral("the portal gave no local file: %1").arg(uri.toString());
        return shot;
    }
    shot.image.load(file);
    // The file is ours to dispose of; leave nothing behind in the user's pictures.
    QFile::remove(file);
    if (shot.image.isNull()) {
        shot.outcome = PortalAnswer::Failed;
        shot.detail = QStringLiteral("the portal's file %1 could not be read").arg(file);
    }
    return shot;
}

QImage cropToPrimary(const QImage& shot, const QRect& desktop, const QRect& primary, const QRect& want)
{
    QImage out(want.size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    if (shot.isNull() || desktop.isEmpty())
        return out;
    QImage full = shot.convertToFormat(QImage::Format_RGB32);
    if (full.size() != desktop.size())
        full = full.scaled(desktop.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Where `want` lies in the screenshot.
    const QRect source = want.translated(primary.topLeft() - desktop.topLeft());
    const QRect inside = source & full.rect();
    if (inside.isEmpty())
        return out;
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(inside.topLeft() - source.topLeft(), full, inside);
    return out;
}

PortalScreenPixels::PortalScreenPixels(std::unique_ptr<ScreenPixels> windowReader,
                                       quintptr desktopWindow, std::shared_ptr<Notices> notices,
                                       Shooter shoot, Geometry desktop, Geometry primary)
    : windowReader_(std::move(windowReader)), desktop_(desktopWindow), notices_(std::move(notices)),
      shoot_(std::move(shoot)), desktopGeometry_(std::move(desktop)), primaryGeometry_(std::move(primary))
{
}

CapturedBitmap PortalScreenPixels::CaptureWindowRect(quintptr hwnd, bool client, int left, int top,
                                                     int width, int height)
{
    // The program's own windows are X clients, which the X server reads exactly and fast.
    if (hwnd != desktop_ || client || missing_)
        return windowReader_->CaptureWindowRect(hwnd, client, left, top, width, height);

    const PortalShot shot = shoot_();
    if (shot.outcome == PortalAnswer::Granted) {
        CapturedBitmap b;
        b.image = cropToPrimary(shot.image, desktopGeometry_(), primaryGeometry_(),
                                QRect(left, top, width, height));
        return b;
    }
    qCWarning(lcPortal, "screenshot portal: %s", qPrintable(shot.detail));
    missing_ = shot.outcome == PortalAnswer::Missing;
    notices_->tellOnce(
        QStringLiteral("screenshot"),
        QStringLiteral("The desktop's screenshot service is not available, so the capture shows "
                       "only the windows that run through XWayland. Native Wayland windows may "
                       "appear black."));
    return windowReader_->CaptureWindowRect(hwnd, client, left, top, width, height);
}
