#pragma once

// Capture-and-show: hiding the program's windows, capturing, and showing the capture in the
// canvas with the toolbox above it; hiding the canvas with its drawing and showing it again.

#include <QString>

#include <functional>

class Program;
class QWidget;

// kind: "screen" or "window".
void CaptureAndShow(Program& program, const QString& kind);

// action: "show" or "hide"; anything else does nothing.
void ShowHideCanvas(Program& program, const QString& action);

// Puts a window above all windows that are not topmost.
void SetTopMost(Program& program, QWidget* window);

// Shows the toolbox, normal, with the keyboard focus.
void ShowToolbox(Program& program);

// Hides canvas and toolbox and discards the text labels.
void SendToTray(Program& program);

// The hot-key press: counts only for exactly the Windows key and the stored letter.
void HotKeyPressed(Program& program, int dwKey, int dwShift);

// Processes window messages until the clock's seconds counter has advanced by one.
void waitForNextSecond();

// Processes window messages for about ms milliseconds, sleeping while there are none.
void pumpEvents(int ms);

// Runs work on a worker thread while this thread goes on with its events: timers, requests and
// the window system's messages, but not the user's keys and clicks, which wait until the work is
// done, so nothing the user does acts on a half-finished job. Rethrows what the work threw.
void runBesideEvents(const std::function<void()>& work);

// Marks a capture as running for as long as it is in scope; a hot key pressed meanwhile joins it.
struct CaptureInProgress {
    explicit CaptureInProgress(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~CaptureInProgress() { flag_ = was_; }
    CaptureInProgress(const CaptureInProgress&) = delete;
    CaptureInProgress& operator=(const CaptureInProgress&) = delete;
    bool& flag_;
    const bool was_;
};
