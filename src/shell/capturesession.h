#pragma once

#include <QObject>

// Where the capture-and-show flow stands: Waiting in the tray, Showing a canvas, or having Kept a
// hidden canvas with its drawing. While a canvas is kept, every capture request shows it again
// instead of capturing. The tray menu's "Show" item follows the state.
class CaptureSession : public QObject
{
    Q_OBJECT
public:
    enum class State { Waiting, Showing, Kept };

    State state() const { return state_; }
    bool keepsCanvas() const { return state_ == State::Kept; }

    // A capture or an opened image is on the canvas. A kept canvas stays kept: only "show" brings
    // it back.
    void showing();
    // "hide" kept the canvas and its drawing.
    void kept();
    // "show" brought the kept canvas back.
    void shownAgain();
    // Sent to the tray: nothing is shown. A kept canvas stays kept.
    void sentToTray();

Q_SIGNALS:
    void stateChanged(CaptureSession::State state);

private:
    void setState(State state);
    State state_ = State::Waiting;
};
