#pragma once

// Screen capture through the desktop portal's Screenshot interface, for sessions whose screen the
// X server cannot see (Wayland: the root window holds only X clients).

#include "platform/screenpixels.h"
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

// Asks the portal for a non-interactive screenshot, reads the file it names and deletes it.
PortalShot takePortalScreenshot(const QDBusConnection& bus, int timeoutMs);

// The `want` rectangle (relative to the primary screen) of a screenshot of the whole desktop, which
// spans `desktop` with the primary screen at `primary` (both in the windowing system's
// coordinates). A screenshot of another size than the desktop (a scaled output) is scaled to it
// first. The result is exactly want's size; what lies outside the screenshot is black.
QImage cropToPrimary(const QImage& shot, const QRect& desktop, const QRect& primary, const QRect& want);

// Reads the whole screen through the portal and everything else (the program's own windows, which
// are X clients) through the window reader. When the portal is missing or refuses, the user is
// told once and the window reader reads the screen too.
class PortalScreenPixels : public ScreenPixels
{
public:
    using Shooter = std::function<PortalShot()>;
    using Geometry = std::function<QRect()>;

    PortalScreenPixels(std::unique_ptr<ScreenPixels> windowReader, quintptr desktopWindow,
                       std::shared_ptr<Notices> notices, Shooter shoot, Geometry desktop,
                       Geometry primary);

    CapturedBitmap CaptureWindowRect(quintptr hwnd, bool client, int left, int top, int width,
                                     int height) override;

private:
    std::unique_ptr<ScreenPixels> windowReader_;
    quintptr desktop_;
    std::shared_ptr<Notices> notices_;
    Shooter shoot_;
    Geometry desktopGeometry_;
    Geometry primaryGeometry_;
    bool missing_ = false; // the portal is not there at all: do not ask again
};
