#pragma once

#include <QRect>
#include <optional>

struct WindowRect;

// The rectangle a snapshot of the canvas copies, relative to the window: (1, 1) and two pixels
// less each way, leaving out the one-pixel frame. Nothing when the window's rectangle overflows.
std::optional<QRect> snapshotRect(const WindowRect& r);
