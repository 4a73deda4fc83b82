#pragma once

// The capture flow, from a request to the canvas showing its picture, as one state machine.
//
//   Waiting (in the tray) --capture--> Settling --settled--> Grabbing --picture--> Showing
//   Showing --capture--> Settling ...            Showing --hide--> Kept --show--> Showing
//   Kept --capture--> Showing (the kept canvas, no capture)
//   Settling, Grabbing --send to tray / exit--> Waiting (the capture is dropped)
//
// Settling waits, by signal from the screen service, until the program's windows that must not
// be in the picture are off the screen and what they covered has been drawn again; Grabbing waits
// for the picture. A capture request during either joins the capture under way, unless the
// picture is overdue: then it starts the capture again. Other requests
// (show, hide, open, the snapshot commands) wait until it is over, and so does every request while
// work that holds them back runs (a save or copy on its worker). Nothing here runs an event loop
// of its own.

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QString>

#include <deque>
#include <functional>

class Picture;
class Program;
class ScreenGrab;
struct CapturedBitmap;

class CaptureController : public QObject
{
    Q_OBJECT
public:
    enum class State { Waiting, Settling, Grabbing, Showing, Kept };
    Q_ENUM(State)

    explicit CaptureController(Program& program);
    // Takes the screen service's answers.
    void listenTo(ScreenGrab& grab);

    State state() const { return state_; }
    bool keepsCanvas() const { return state_ == State::Kept; }
    // Between a capture request and the canvas showing its picture.
    bool capturing() const { return state_ == State::Settling || state_ == State::Grabbing; }
    // Work holds requests back.
    bool held() const { return holds_ > 0; }
    // How many captures have begun; a long job started before one lets its result go.
    quint64 generation() const { return generation_; }

    // The entry points. kind: "screen" or "window"; action: "show" or "hide".
    void captureAndShow(const QString& kind);
    void showHideCanvas(const QString& action);
    void sendToTray();

    // Something is under way that a request must wait for: a capture, work that holds requests
    // back, or requests that already wait.
    bool busy() const { return capturing() || held() || (!waiting_.empty() && !runningWaiting_); }
    // When busy, request waits its turn and this is true; otherwise nothing happens.
    bool deferWhileBusy(std::function<void()> request);

    // Runs request once no capture is under way and nothing holds requests back, in the order
    // asked; at once when that is so now. True when it ran now.
    bool whenFree(std::function<void()> request);

    // Holds every request back while it lives: work on a worker that the user's requests must not
    // come in the middle of. Requests that came meanwhile run after the last hold goes.
    class Hold
    {
    public:
        explicit Hold(CaptureController& c) : c_(&c) { ++c_->holds_; }
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        CaptureController* c_;
    };

    // The canvas shows an opened picture: Showing, unless a kept canvas stays kept.
    void showingOpened();
    // The program ends: a capture under way is dropped, and so are the requests that wait.
    void abandon();

    // How long the picture may take before a new capture request starts the capture again
    // instead of joining it. The desktop portal (xdg-desktop-portal 1.16) gives GNOME's
    // permission dialog 25 s, then forgets the request and never answers it.
    void setOverdueAfterMs(int ms) { overdueMs_ = ms; }

Q_SIGNALS:
    void stateChanged(CaptureController::State state);

private:
    void setState(State state);
    void start(const QString& kind);
    void settled();
    void grabbed(quint64 ticket, const CapturedBitmap& bitmap);
    void grabFailed(quint64 ticket, const QString& reason);
    void show(const Picture& picture);
    // The canvas, placed over the grab's area, shows the screen service's frozen copy at once.
    void showFrozen();
    void placeCanvas();
    // The canvas needs the picture now: it is waited for.
    void arriveNow(quint64 ticket);
    // The frozen copy is let go.
    void dropFrozen();
    // reason goes to the log; why, when given, to the user too.
    void fail(const QString& reason, const QString& why = {});
    void wait(std::function<void()> request);
    void runWaiting();

    Program& program_;
    State state_ = State::Waiting;
    int holds_ = 0;
    quint64 generation_ = 0;
    quint64 ticket_ = 0; // the grab whose answer is awaited; 0 for none
    QElapsedTimer grabbing_; // since that grab began
    int overdueMs_ = 25000;
    QString kind_;       // of the capture under way
    QRect placement_;    // of a window capture's canvas
    std::deque<std::function<void()>> waiting_;
    bool runScheduled_ = false;
    bool runningWaiting_ = false;
    bool frozenShown_ = false; // the canvas shows the screen service's copy, not yet the picture // a request that waited is running: the rest wait behind it
};
