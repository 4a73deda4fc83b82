#pragma once

// Capture-and-show: the entry points of the capture controller (capturecontroller.h), which
// hides, captures and shows the capture in the canvas with the toolbox above it, and hides the
// canvas with its drawing and shows it again.

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

// Shows the toolbox, normal and topmost, over the shown canvas, which keeps (or gets back) the
// keyboard focus, so that its shortcuts work at once and the next click draws.
void showToolboxOverCanvas(Program& program);

// Hides canvas and toolbox and discards the text labels.
void SendToTray(Program& program);

// A press of a registered hot key (the hot-key service's pressed signal): counts only for exactly
// the Windows key and the stored letter; Ctrl pressed with it captures the active window.
void HotKeyPressed(Program& program, quint32 vk, quint32 modifiers);

// Runs work on a worker thread while this thread goes on with its events: timers, requests and
// the window system's messages, but not the user's keys and clicks, which wait until the work is
// done, so nothing the user does acts on a half-finished job. Requests that arrive meanwhile wait
// for it too. Rethrows what the work threw.
void runBesideEvents(Program& program, const std::function<void()>& work);
