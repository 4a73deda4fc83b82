#pragma once

// Freezing the screen on X11. The settle watches our windows' frames leave the screen and the
// server's DAMAGE reports of what is drawn where they were. The grab copies the area of the root
// into a pixmap, in the server, at once: that copy is the picture, one moment of the screen, and
// it is read into our memory on a worker while the event loop goes on.

#include "platform/screengrab.h"
#include "x11connection.h"
#include "x11imagereader.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWindow>
#include <QRegion>

#include <memory>
#include <thread>

class QTimer;

class X11ScreenGrab : public ScreenGrab
{
    Q_OBJECT
public:
    explicit X11ScreenGrab(std::shared_ptr<X11Connection> connection,
                           X11ImageReader::Transfer transfer = X11ImageReader::Transfer::Auto);
    ~X11ScreenGrab() override;

    Capabilities capabilities() const override;
    void settle(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                QDeadlineTimer deadline) override;
    void cancelSettle() override;
    void grab(quint64 ticket, const QRect& area) override;
    // The window's background becomes the grab's pixmap, which the server draws at once.
    bool showFrozen(QWindow* window, quint64 ticket) override;
    void dropFrozen(QWindow* window) override;
    CapturedBitmap waitForGrab(quint64 ticket) override;

    // How long the area our windows left may stay without drawing, once all of it has been
    // drawn, before it counts as drawn again; and how long at most after that. Where the
    // server does not report drawing at all, or part of the area is never drawn, quietMs of
    // no drawing ends the wait.
    struct Timing {
        int settleQuietMs = 8;
        int settleCoveredMaxMs = 40;
        int quietMs = 60;
    };
    Timing timing;

private:
    void poll();
    void finishSettle(bool report);
    // Whether every frame has left the screen.
    bool framesGone();
    // Collects what has been drawn since the last call into the area our windows left.
    void collectDamage();
    // The grab's answer by signal, unless it was waited for.
    void deliver(quint64 ticket);
    // Starts reading the grab's copy on the worker, once.
    void startRead();
    // Joins the worker and lets the grab's copy of the screen go.
    void finishGrab();
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::shared_ptr<X11Connection> c_;
    X11ImageReader reader_;
    bool damageExt_ = false;
    quint32 gc_ = 0;

    // The settle under way.
    QTimer* poll_;
    QVector<quint32> frames_;  // the top-level windows (window-manager frames) to see leave
    QRegion left_;             // what they covered
    QRegion drawn_;            // what has been drawn there since they went
    quint32 damage_ = 0;
    bool gone_ = false;
    QDeadlineTimer deadline_;
    QElapsedTimer sinceGone_;
    qint64 lastDrawnMs_ = 0;   // on sinceGone_
    qint64 coveredMs_ = -1;    // on sinceGone_; -1 while part of the area is not drawn yet

    // The grab under way: its copy of the screen in the server, and what the worker read.
    std::thread worker_;
    quint64 ticket_ = 0;
    quint32 pixmap_ = 0;
    CapturedBitmap read_;
    bool taken_ = true;
    QRect readArea_;
    bool readStarted_ = false;
    QTimer* readLater_;
    QPointer<QWindow> frozenWindow_;  // shows the copy; the read waits until it is exposed
    static constexpr int readAfterShowMs = 150;
    // Whether the last window asked to show a copy has the root's depth.
    quint32 depthKnownFor_ = 0;
    bool rootDepth_ = false;
};
