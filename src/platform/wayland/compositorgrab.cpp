#include "compositorgrab.h"

#include <QLoggingCategory>
#include <QMetaObject>

#include <thread>

Q_LOGGING_CATEGORY(lcCompositor, "scrawlix.wayland", QtInfoMsg)

// What a worker's read left for the event loop.
struct CompositorGrab::Pending {
    quint64 ticket = 0;
    QRect area;
    QImage image;
    QString failure;
    bool taken = false;
};

CompositorGrab::CompositorGrab(std::unique_ptr<CompositorShot> shot,
                               std::unique_ptr<ScreenGrab> fallback, int repaintMs)
    : shot_(std::move(shot)), fallback_(std::move(fallback)), settle_(repaintMs, this),
      worker_(std::make_unique<GrabWorker>())
{
    connect(&settle_, &ExposureSettle::settled, this, &ScreenGrab::settled);
    connect(fallback_.get(), &ScreenGrab::grabbed, this, &ScreenGrab::grabbed);
    connect(fallback_.get(), &ScreenGrab::grabFailed, this, &ScreenGrab::grabFailed);
    qCInfo(lcCompositor, "the screen is read through %s", qPrintable(shot_->name()));
}

CompositorGrab::~CompositorGrab()
{
    worker_.reset(); // a read under way ends before the shot goes
}

ScreenGrab::Capabilities CompositorGrab::capabilities() const
{
    return failedOver_ ? fallback_->capabilities() : (WindowCapture | ReadsOnWorker);
}

void CompositorGrab::settle(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                            QDeadlineTimer deadline)
{
    settle_.start(vanishing, hide, deadline);
}

void CompositorGrab::cancelSettle()
{
    settle_.cancel();
}

void CompositorGrab::grab(quint64 ticket, const QRect& area)
{
    if (failedOver_) {
        fallback_->grab(ticket, area);
        return;
    }
    worker_->join();
    auto pending = std::make_shared<Pending>();
    pending->ticket = ticket;
    pending->area = area;
    pending_ = pending;
    CompositorShot* shot = shot_.get();
    worker_->run([this, shot, pending] {
        pending->image = shot->shoot(pending->area, &pending->failure);
        if (pending->image.isNull() && pending->failure.isEmpty())
            pending->failure = QStringLiteral("the compositor gave no picture");
        const quint64 done = pending->ticket;
        QMetaObject::invokeMethod(this, [this, done] { deliver(done); }, Qt::QueuedConnection);
    });
}

void CompositorGrab::deliver(quint64 ticket)
{
    const std::shared_ptr<Pending> p = pending_;
    if (!p || p->ticket != ticket || p->taken)
        return;
    worker_->join();
    p->taken = true;
    if (p->failure.isEmpty()) {
        CapturedBitmap b;
        b.image = p->image;
        Q_EMIT grabbed(ticket, b);
        return;
    }
    // The compositor will not serve us (a desktop entry that does not grant it, a protocol
    // error): the portal takes this grab and the later ones.
    qCWarning(lcCompositor, "%s failed (%s); the desktop portal reads the screen instead",
              qPrintable(shot_->name()), qPrintable(p->failure));
    failedOver_ = true;
    fallback_->grab(ticket, p->area);
}

CapturedBitmap CompositorGrab::waitForGrab(quint64 ticket)
{
    const std::shared_ptr<Pending> p = pending_;
    if (failedOver_ || !p || p->ticket != ticket || p->taken)
        return {};
    worker_->join();
    if (!p->failure.isEmpty())
        return {}; // its failure comes by signal, from the fallback
    p->taken = true;
    CapturedBitmap b;
    b.image = p->image;
    return b;
}
