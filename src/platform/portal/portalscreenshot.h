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
// its own), or with why there is none. It waits for as long as the portal's dialog waits for the
// user. Nothing is called once `context` is gone.
void takePortalScreenshot(const QDBusConnection& bus, QObject* context,
                          std::function<void(const PortalShot&)> done);

// True when every pixel is black (or there is no picture): what XWayland reads where it sees no
// window of its own.
bool isAllBlack(const QImage& image);

// The `want` rectangle (relative to the primary screen) of a screenshot of the whole desktop, which
// spans `desktop` with the primary screen at `primary` (both in the windowing system's
// coordinates). A screenshot of another size than the desktop (a scaled output) is scaled to it
// first. The result is exactly want's size; what lies outside the screenshot is black.
QImage cropToPrimary(const QImage& shot, const QRect& desktop, const QRect& primary, const QRect& want);

// Grabs the screen through the portal. A refusal or a failure fails the grab (the capture flow
// tells the user). Where there is no portal at all, the user is told once and the fallback (the X
// server's view) grabs instead, from then on; a picture of it that is all black fails the grab.
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
