#pragma once

// The text tool: labels typed in the entry box, formatted live with the drawing attributes until
// they are finished, and the canvas timer that samples the cursor.

class FrmMain;

// Creates and opens a new label at (x, y) and moves the entry box above and left of it.
void placeText(FrmMain& canvas, float x, float y);

// The entry box changed: the open label takes its text.
void txtText_Change(FrmMain& canvas);

// Exactly Shift+Enter finishes the open label; the canvas then reports textFinished, and the
// shell goes back to the pen.
void txtText_KeyDown(FrmMain& canvas, int keyCode, int shift);

// Deletes label i.
void lblText_DblClick(FrmMain& canvas, int index);

// One tick of the canvas timer.
void tmrTimer_Timer(FrmMain& canvas);

// Erases the drawing and the text labels and shows the bare picture again.
void ClearImage(FrmMain& canvas);
