#pragma once

#include <QRect>
#include <optional>

class Program;
struct WindowRect;

// Photographs the canvas as it is shown, without its one-pixel frame and with the toolbox out of
// the way: to the clipboard (destination 1) or into picbox (any other value).
void SnapshotCanvas(Program& program, int destination);

// The rectangle a snapshot copies, relative to the window: (1, 1) and two pixels less each way.
// Nothing when the window's rectangle overflows.
std::optional<QRect> snapshotRect(const WindowRect& r);

// Throws the drawing and the text labels away and shows the bare picture again.
void ClearImage(Program& program);
