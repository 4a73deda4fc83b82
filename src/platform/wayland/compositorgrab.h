#pragma once

// A grab straight from the compositor, where it lets this program read the screen without asking
// the user (wlroots' screencopy, KWin's screenshot interface). The reading blocks, so it runs on a
// thread of its own; where the compositor refuses or fails, the grab and every later one go to the
// fallback (the desktop portal).

#include "platform/screengrab.h"

#include <QString>
#include <memory>

// One way of reading the screen from the compositor. shoot() is called on a worker thread, one
// call at a time, never concurrently with another call on the same object.
class CompositorShot
{
public:
    virtual ~CompositorShot() = default;
    // For the log: "wlr-screencopy", "kwin-screenshot".
    virtual QString name() const = 0;
    // The `area` of the desktop (device pixels, XWayland's coordinates), exactly its size, without
    // the pointer; what lies outside every screen is black. A null image and `why` on failure.
    virtual QImage shoot(const QRect& area, QString* why) = 0;
};

class CompositorGrab : public ScreenGrab
{
    Q_OBJECT
public:
    CompositorGrab(std::unique_ptr<CompositorShot> shot, std::unique_ptr<ScreenGrab> fallback,
                   int repaintMs);
    ~CompositorGrab() override;

    Capabilities capabilities() const override;
    void settle(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                QDeadlineTimer deadline) override;
    void cancelSettle() override;
    void grab(quint64 ticket, const QRect& area) override;
    CapturedBitmap waitForGrab(quint64 ticket) override;

    // Whether grabs still go to the compositor, rather than to the fallback.
    bool direct() const { return !failedOver_; }

private:
    struct Pending;
    void deliver(quint64 ticket);
    void join();

    std::unique_ptr<CompositorShot> shot_;
    std::unique_ptr<ScreenGrab> fallback_;
    ExposureSettle settle_;
    std::shared_ptr<Pending> pending_; // the grab under way
    std::unique_ptr<GrabWorker> worker_;
    bool failedOver_ = false;
};
