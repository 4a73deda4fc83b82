#pragma once

// Screen capture through the desktop portal's Screenshot interface, for sessions whose screen the
// X server cannot see (Wayland: the root window holds only X clients).

#include "platform/screengrab.h"
#include "portalrequest.h"

#include <QImage>
#include <QRect>
#include <functional>
#include <memory>

class Notices;

// A screenshot of the whole desktop, or why there is none.
struct PortalShot {
    QImage image;
    PortalAnswer::Kind outcome = PortalAnswer::Failed;
    QString detail;
};

// Asks the portal for a non-interactive screenshot. `done` is called once, from the event loop:
// with the picture (read from the file the portal names, which is then deleted, on a thread of
// its own), or with why there is none. Nothing is called once `context` is gone.
void takePortalScreenshot(const QDBusConnection& bus, int timeoutMs, QObject* context,
                          std::function<void(const PortalShot&)> done);

// The `want` rectangle (relative to the primary screen) of a screenshot of the whole desktop, which
// spans `desktop` with the primary screen at `primary` (both in the windowing system's
// coordinates). A screenshot of another size than the desktop (a scaled output) is scaled to it
// first. The result is exactly want's size; what lies outside the screenshot is black.
QImage cropToPrimary(const QImage& shot, const QRect& desktop, const QRect& primary, const QRect& want);

// Grabs the screen through the portal. When the portal is missing or refuses, the user is told
// once and the fallback grabs instead; a missing portal is not asked again.
class PortalGrab : public ScreenGrab
{
    Q_OBJECT
public:
    // Starts a screenshot; calls done once, from the event loop, unless context is gone first.
    using Shooter = std::function<void(QObject* context, std::function<void(const PortalShot&)> done)>;
    using Geometry = std::function<QRect()>;

    PortalGrab(std::unique_ptr<ScreenGrab> fallback, std::shared_ptr<Notices> notices,
               Shooter shoot, Geometry desktop, Geometry primary);

    Capabilities capabilities() const override { return WindowCapture; }
    void settle(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                QDeadlineTimer deadline) override;
    void cancelSettle() override;
    void grab(quint64 ticket, const QRect& area) override;
    // The portal answers only by signal.
    CapturedBitmap waitForGrab(quint64) override { return {}; }

private:
    std::unique_ptr<ScreenGrab> fallback_;
    std::shared_ptr<Notices> notices_;
    Shooter shoot_;
    Geometry desktopGeometry_;
    Geometry primaryGeometry_;
    ExposureSettle settle_;
    bool missing_ = false; // the portal is not there at all: do not ask again
};
