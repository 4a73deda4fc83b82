#pragma once

// The text tool: labels typed in the entry box, formatted live from the toolbox until they are
// finished, and the canvas timer that samples the cursor.

class Program;

// Creates and opens a new label at (x, y) and moves the entry box above and left of it.
void placeText(Program& program, float x, float y);

// The entry box changed: the open label takes its text.
void txtText_Change(Program& program);

// Exactly Shift+Enter finishes the open label and goes back to the pen.
void txtText_KeyDown(Program& program, int keyCode, int shift);

// Deletes label i.
void lblText_DblClick(Program& program, int index);

// One tick of the canvas timer.
void tmrTimer_Timer(Program& program);
