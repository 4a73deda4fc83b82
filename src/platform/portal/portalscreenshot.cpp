#include "portalscreenshot.h"

#include "platform/notices.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QFile>
#include <QLoggingCategory>
#include <QPainter>
#include <QCoreApplication>
#include <QPointer>
#include <QUrl>

#include <thread>

Q_LOGGING_CATEGORY(lcPortal, "scrawlix.portal", QtInfoMsg)

// The compositor draws what our windows covered at its next frame or two.
constexpr int kPortalRepaintMs = 50;

namespace {

// Reads the portal's file and deletes it: the file is ours to dispose of, and nothing is left
// behind in the user's pictures.
PortalShot readShotFile(const QUrl& uri)
{
    PortalShot shot;
    shot.outcome = PortalAnswer::Granted;
    const QString file = uri.toLocalFile();
    if (!uri.isLocalFile() || file.isEmpty()) {
        shot.outcome = PortalAnswer::Failed;
        shot.detail = QStringLiteral("the portal gave no local file: %1").arg(uri.toString());
        return shot;
    }
    shot.image.load(file);
    QFile::remove(file);
    if (shot.image.isNull()) {
        shot.outcome = PortalAnswer::Failed;
        shot.detail = QStringLiteral("the portal's file %1 could not be read").arg(file);
    }
    return shot;
}

} // namespace

void takePortalScreenshot(const QDBusConnection& bus, QObject* context,
                          std::function<void(const PortalShot&)> done)
{
    auto* request = new PortalRequest(bus, context);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(kPortalService), QLatin1String(kPortalPath),
        QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"));
    const QVariantMap options = {
        {QStringLiteral("handle_token"), request->token()},
        {QStringLiteral("modal"), false},
        {QStringLiteral("interactive"), false},
    };
    call << QString() << options;
    // No time limit: the portal may be asking the user whether Scrawlix may take screenshots, and
    // the capture waits as long as the user does. Only a portal that leaves the bus ends the wait.
    auto* watcher = new QDBusServiceWatcher(QLatin1String(kPortalService), bus,
                                            QDBusServiceWatcher::WatchForUnregistration, request);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceUnregistered, request, [request, done] {
        request->deleteLater();
        done({{}, PortalAnswer::Failed, QStringLiteral("the portal left the bus before it answered")});
    });
    QObject::connect(request, &PortalRequest::answered, request,
                     [request, watcher, context, done](const PortalAnswer& answer) {
        watcher->disconnect();
        request->deleteLater();
        if (answer.kind != PortalAnswer::Granted) {
            done({{}, answer.kind, answer.detail});
            return;
        }
        // Decoding a screen's PNG takes tens of milliseconds: not on the event loop.
        const QUrl uri(answer.results.value(QStringLiteral("uri")).toString());
        QPointer<QObject> alive(context);
        std::thread([uri, alive, done] {
            const PortalShot shot = readShotFile(uri);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [alive, shot, done] {
                    if (alive)
                        done(shot);
                },
                Qt::QueuedConnection);
        }).detach();
    });
    request->send(call);
}

bool isAllBlack(const QImage& image)
{
    if (image.isNull())
        return true;
    const QImage rgb = image.format() == QImage::Format_RGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if ((row[x] & 0x00ffffffu) != 0)
                return false;
        }
    }
    return true;
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

PortalGrab::PortalGrab(std::unique_ptr<ScreenGrab> fallback, std::shared_ptr<Notices> notices,
                       Shooter shoot, Geometry desktop, Geometry primary)
    : fallback_(std::move(fallback)), notices_(std::move(notices)), shoot_(std::move(shoot)),
      desktopGeometry_(std::move(desktop)), primaryGeometry_(std::move(primary)),
      settle_(kPortalRepaintMs, this)
{
    connect(&settle_, &ExposureSettle::settled, this, &ScreenGrab::settled);
    connect(fallback_.get(), &ScreenGrab::grabbed, this, [this](quint64 ticket, const CapturedBitmap& b) {
        // XWayland sees only its own clients; with none of them on the screen (ours are hidden for
        // the capture) it reads black, which is no picture of this desktop.
        if (isAllBlack(b.image)) {
            Q_EMIT grabFailed(ticket, QCoreApplication::translate(
                                          "Platform", "Without the desktop's screenshot service, "
                                                      "Scrawlix cannot see the windows on this "
                                                      "screen."));
            return;
        }
        Q_EMIT grabbed(ticket, b);
    });
    connect(fallback_.get(), &ScreenGrab::grabFailed, this, &ScreenGrab::grabFailed);
}

void PortalGrab::settle(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                        QDeadlineTimer deadline)
{
    settle_.start(vanishing, hide, deadline);
}

void PortalGrab::cancelSettle()
{
    settle_.cancel();
}

void PortalGrab::grab(quint64 ticket, const QRect& area)
{
    if (missing_) {
        fallback_->grab(ticket, area);
        return;
    }
    shoot_(this, [this, ticket, area](const PortalShot& shot) {
        if (shot.outcome == PortalAnswer::Granted) {
            CapturedBitmap b;
            const QRect primary = primaryGeometry_();
            b.image = cropToPrimary(shot.image, desktopGeometry_(), primary,
                                    area.translated(-primary.topLeft()));
            Q_EMIT grabbed(ticket, b);
            return;
        }
        qCWarning(lcPortal, "screenshot portal: %s", qPrintable(shot.detail));
        if (shot.outcome == PortalAnswer::Refused) {
            // The user said no, or the desktop did on the user's behalf: nothing is shown.
            Q_EMIT grabFailed(ticket, QCoreApplication::translate(
                                          "Platform", "The desktop did not allow Scrawlix to take "
                                                      "a screenshot."));
            return;
        }
        if (shot.outcome != PortalAnswer::Missing) {
            // The detail is the service's own, as it gave it.
            Q_EMIT grabFailed(ticket, QCoreApplication::translate(
                                          "Platform", "The desktop's screenshot service failed: %1")
                                          .arg(shot.detail));
            return;
        }
        // No portal at all: what XWayland can see is the best there is, and the user is told.
        missing_ = true;
        notices_->tellOnce(QStringLiteral("screenshot"),
                           QCoreApplication::translate(
                               "Platform",
                               "The desktop's screenshot service is not available, so the capture "
                               "shows only the windows that run through XWayland. Native Wayland "
                               "windows may appear black."),
                           Notices::Weight::Important);
        fallback_->grab(ticket, area);
    });
}
