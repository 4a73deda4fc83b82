#include "backgroundopen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMutex>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <memory>
#include <new>
#include <thread>

QString openingTitle()
{
    return QCoreApplication::translate("Imaging", "Opening Image...");
}

namespace {

// What the worker and the event loop share. The worker owns a reference, so the state outlives
// an abandoned wait.
struct Job {
    std::atomic_bool cancel{false};
    std::atomic_bool done{false};
    QMutex mutex;
    LoadedImage result;
};

} // namespace

LoadedImage readImageFileInBackground(const QString& path, const BackgroundOpenOptions& options,
                                      QWidget* parent)
{
    auto job = std::make_shared<Job>();
    // A thread of its own, not a pool's: an abandoned decode must hold up nothing, not even exit.
    std::thread([job, path, limits = options.limits] {
        LoadedImage r;
        try {
            r = readImageFile(path, limits, &job->cancel);
        } catch (const std::bad_alloc&) {
            r = LoadedImage{};
            r.reason = QCoreApplication::translate(
                "Imaging", "There is not enough memory to open the picture.");
        } catch (...) {
            r = LoadedImage{};
            r.reason = QCoreApplication::translate("Imaging", "The picture could not be read.");
        }
        {
            QMutexLocker lock(&job->mutex);
            job->result = std::move(r);
        }
        job->done = true;
    }).detach();

    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    QPointer<QProgressDialog> progress;
    bool userCancelled = false;
    bool outOfTime = false;

    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (job->done) {
            loop.quit();
        } else if (clock.elapsed() >= options.timeLimitMs) {
            outOfTime = true;
            loop.quit();
        } else if (!progress && clock.elapsed() >= options.progressDelayMs) {
            progress = new QProgressDialog(
                QCoreApplication::translate("Imaging", "Opening the picture..."),
                QCoreApplication::translate("Imaging", "Cancel"), 0, 0, parent);
            progress->setWindowTitle(openingTitle());
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setMinimumDuration(0);
            progress->setAutoClose(false);
            progress->setAutoReset(false);
            QObject::connect(progress, &QProgressDialog::canceled, &loop, [&] {
                userCancelled = true;
                loop.quit();
            });
            progress->show();
        }
    });
    poll.start();
    loop.exec();
    poll.stop();
    if (progress) {
        QObject::disconnect(progress, nullptr, &loop, nullptr);
        progress->hide();
        progress->deleteLater();
    }

    if (job->done && !userCancelled) {
        QMutexLocker lock(&job->mutex);
        return std::move(job->result);
    }
    job->cancel = true; // the worker stops at its next check, or finishes and is ignored
    LoadedImage r;
    if (userCancelled)
        r.cancelled = true;
    else if (outOfTime)
        r.reason =
            QCoreApplication::translate("Imaging",
                                        "Decoding the picture took longer than %1, so it was "
                                        "given up.")
                .arg(options.timeLimitMs % 1000 != 0
                         ? QCoreApplication::translate("Imaging", "%1 ms").arg(options.timeLimitMs)
                     : options.timeLimitMs == 1000
                         ? QCoreApplication::translate("Imaging", "1 second")
                         : QCoreApplication::translate("Imaging", "%1 seconds")
                               .arg(options.timeLimitMs / 1000));
    return r;
}
