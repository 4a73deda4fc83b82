#pragma once

// Freezing the screen for a capture: waiting until the program's own windows are off the screen,
// then reading an area of it. Both report by signal and return at once; nothing here runs an
// event loop of its own.

#include "screenpixels.h"

#include <QDeadlineTimer>
#include <QFlags>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <thread>

class QWindow;

class ScreenGrab : public QObject
{
    Q_OBJECT
public:
    enum Capability {
        // The foreground window's rectangle means something and the screen around it can be
        // read, so "window" captures the active window; without it, the screen is captured.
        WindowCapture = 0x1,
        // The pixels are read beside the event loop.
        ReadsOnWorker = 0x2,
        // The picture is the screen as it was when grab() was called, however long the reading
        // takes afterwards.
        FrozenAtGrab = 0x4,
    };
    Q_DECLARE_FLAGS(Capabilities, Capability)

    ~ScreenGrab() override = default;

    virtual Capabilities capabilities() const = 0;

    // Calls hide(), which takes the vanishing windows (ours) off the screen, and reports
    // settled() once they are gone and what they covered has been drawn again, or when the
    // deadline passes, whichever comes first. A settle that is under way is replaced.
    virtual void settle(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                        QDeadlineTimer deadline) = 0;
    // Ends a settle that is under way; it reports nothing.
    virtual void cancelSettle() = 0;

    // Starts reading `area` of the desktop (device pixels, the desktop window's coordinates;
    // what lies outside the screen is black). Reports grabbed() or grabFailed() with the same
    // ticket, once, from the event loop; never from inside this call.
    virtual void grab(quint64 ticket, const QRect& area) = 0;

    // With FrozenAtGrab: has the window system show the copy that grab `ticket` froze as the
    // window's background, so that the window shows the picture from the moment it is mapped,
    // before the pixels have been read. The window covers exactly the grab's area. False when
    // this cannot be done; the window must then wait for the picture.
    virtual bool showFrozen(QWindow* window, quint64 ticket)
    {
        Q_UNUSED(window) Q_UNUSED(ticket)
        return false;
    }
    // The window draws the picture itself now: the copy behind it is let go.
    virtual void dropFrozen(QWindow* window) { Q_UNUSED(window) }
    // Waits for grab `ticket` and returns its picture now (a null image when it failed); its
    // grabbed() or grabFailed() then does not come.
    virtual CapturedBitmap waitForGrab(quint64 ticket) = 0;

Q_SIGNALS:
    void settled();
    void grabbed(quint64 ticket, const CapturedBitmap& bitmap);
    void grabFailed(quint64 ticket, const QString& reason);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(ScreenGrab::Capabilities)

// A settle for any windowing system that Qt tells about: the windows are gone when Qt no longer
// sees them exposed, and what they covered gets a fixed time to be drawn again.
class ExposureSettle : public QObject
{
    Q_OBJECT
public:
    explicit ExposureSettle(int repaintMs, QObject* parent = nullptr);
    void start(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
               QDeadlineTimer deadline);
    void cancel();

Q_SIGNALS:
    void settled();

private:
    void check();

    int repaintMs_;
    QList<QPointer<QWindow>> windows_;
    QDeadlineTimer deadline_;
    QDeadlineTimer repainted_;
    bool gone_ = false;
    class QTimer* poll_;
};

// A grab that reads through a ScreenPixels, beside the event loop where the reader allows, with
// ExposureSettle's settle. For systems whose screen reading has nothing better to offer.
// One read at a time, on a thread of its own; the thread is joined before the next read starts
// and when the grab goes.
class GrabWorker
{
public:
    ~GrabWorker();
    void run(std::function<void()> work);
    void join();

private:
    std::thread thread_;
};

class ReaderGrab : public ScreenGrab
{
    Q_OBJECT
public:
    // reader reads the desktop window `desktop`; capabilities say what else holds.
    ReaderGrab(ScreenPixels& reader, quintptr desktop, Capabilities extra, int repaintMs);
    ~ReaderGrab() override;

    Capabilities capabilities() const override;
    void settle(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                QDeadlineTimer deadline) override;
    void cancelSettle() override;
    void grab(quint64 ticket, const QRect& area) override;
    CapturedBitmap waitForGrab(quint64 ticket) override;

private:
    void deliver(quint64 ticket);

    ScreenPixels& reader_;
    quintptr desktop_;
    Capabilities caps_;
    ExposureSettle settle_;
    std::unique_ptr<GrabWorker> worker_;
    std::shared_ptr<struct GrabResult> result_; // of the grab under way
};
