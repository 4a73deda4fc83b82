#include "screengrab.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <QWindow>

#include <exception>
#include <thread>

ExposureSettle::ExposureSettle(int repaintMs, QObject* parent)
    : QObject(parent), repaintMs_(repaintMs), poll_(new QTimer(this))
{
    poll_->setInterval(2);
    connect(poll_, &QTimer::timeout, this, &ExposureSettle::check);
}

void ExposureSettle::start(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                           QDeadlineTimer deadline)
{
    windows_.clear();
    for (QWindow* w : vanishing)
        windows_.append(w);
    deadline_ = deadline;
    gone_ = false;
    hide();
    if (windows_.isEmpty()) {
        // Nothing of ours was on the screen (a request from the tray): nothing to wait for.
        gone_ = true;
        repainted_ = QDeadlineTimer(0);
    }
    poll_->start();
}

void ExposureSettle::cancel()
{
    poll_->stop();
    windows_.clear();
}

void ExposureSettle::check()
{
    if (!gone_) {
        gone_ = true;
        for (const QPointer<QWindow>& w : windows_)
            gone_ = gone_ && (!w || !w->isExposed());
        if (gone_)
            repainted_ = QDeadlineTimer(repaintMs_);
    }
    if ((gone_ && repainted_.hasExpired()) || deadline_.hasExpired()) {
        cancel();
        Q_EMIT settled();
    }
}

// A grab's answer, which the worker writes and the event loop takes, by signal or by waiting.
struct GrabResult {
    quint64 ticket = 0;
    CapturedBitmap bitmap;
    QString failure;
    bool taken = false;
};

GrabWorker::~GrabWorker()
{
    join();
}

void GrabWorker::run(std::function<void()> work)
{
    join();
    thread_ = std::thread(std::move(work));
}

void GrabWorker::join()
{
    if (thread_.joinable())
        thread_.join();
}

ReaderGrab::ReaderGrab(ScreenPixels& reader, quintptr desktop, Capabilities extra, int repaintMs)
    : reader_(reader), desktop_(desktop), caps_(extra), settle_(repaintMs, this),
      worker_(std::make_unique<GrabWorker>())
{
    if (reader_.CapturesOnAnyThread())
        caps_ |= ReadsOnWorker;
    connect(&settle_, &ExposureSettle::settled, this, &ScreenGrab::settled);
}

ReaderGrab::~ReaderGrab()
{
    worker_.reset(); // waits for a read under way; its answer is dropped with this object
}

ScreenGrab::Capabilities ReaderGrab::capabilities() const
{
    return caps_;
}

void ReaderGrab::settle(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                        QDeadlineTimer deadline)
{
    settle_.start(vanishing, hide, deadline);
}

void ReaderGrab::cancelSettle()
{
    settle_.cancel();
}

void ReaderGrab::grab(quint64 ticket, const QRect& area)
{
    worker_->join();
    auto result = std::make_shared<GrabResult>();
    result->ticket = ticket;
    result_ = result;
    const auto read = [this, result, area] {
        try {
            result->bitmap = reader_.CaptureWindowRect(desktop_, false, area.x(), area.y(),
                                                       area.width(), area.height());
        } catch (const std::exception& e) {
            result->failure = QString::fromLocal8Bit(e.what());
        }
        if (result->bitmap.image.isNull() && result->failure.isEmpty())
            result->failure =
                QCoreApplication::translate("Platform", "The screen could not be read.");
        const quint64 answered = result->ticket;
        QMetaObject::invokeMethod(this, [this, answered] { deliver(answered); },
                                  Qt::QueuedConnection);
    };
    if (caps_.testFlag(ReadsOnWorker))
        worker_->run(read);
    else
        QMetaObject::invokeMethod(this, read, Qt::QueuedConnection);
}

void ReaderGrab::deliver(quint64 ticket)
{
    const std::shared_ptr<GrabResult> r = result_;
    if (!r || r->ticket != ticket || r->taken)
        return;
    worker_->join();
    r->taken = true;
    if (r->failure.isEmpty())
        Q_EMIT grabbed(ticket, r->bitmap);
    else
        Q_EMIT grabFailed(ticket, r->failure);
}

CapturedBitmap ReaderGrab::waitForGrab(quint64 ticket)
{
    const std::shared_ptr<GrabResult> r = result_;
    if (!r || r->ticket != ticket || r->taken)
        return {};
    if (!caps_.testFlag(ReadsOnWorker))
        return {}; // a read on this thread has not begun; its answer comes by signal
    worker_->join();
    r->taken = true;
    return r->failure.isEmpty() ? r->bitmap : CapturedBitmap{};
}
