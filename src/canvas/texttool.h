#pragma once

// The text tool: labels typed in the entry box, formatted live with the drawing attributes until
// they are finished, and the canvas timer that formats the open label.

class FrmMain;
class QPoint;

// Creates and opens a new label at (x, y) and moves the entry box above and left of it.
void placeText(FrmMain& canvas, float x, float y);

// The entry box changed: the open label takes its text.
void txtText_Change(FrmMain& canvas);

// Exactly Shift+Enter finishes the open label; the canvas then reports textFinished, and the
// shell goes back to the pen.
void txtText_KeyDown(FrmMain& canvas, int keyCode, int shift);

// Deletes label i.
void lblText_DblClick(FrmMain& canvas, int index);

// One tick of the canvas timer: samples the cursor, formats the open label with the drawing
// attributes, and pulls the entry box back onto the screen.
void tmrTimer_Timer(FrmMain& canvas);

// Whether a tick has anything to do that a user could see: an open label on show, or the entry
// box left or above the screen. The canvas runs its timer only while this holds.
bool timerHasWork(const FrmMain& canvas);

// Takes the cursor's screen position as the drawing code's CursorPos: relative to the canvas
// over a captured window, as is on the screen otherwise.
void sampleCursor(FrmMain& canvas, const QPoint& screenPos);

// Erases the drawing and the text labels and shows the bare picture again.
void ClearImage(FrmMain& canvas);
