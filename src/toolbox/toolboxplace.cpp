#include "toolbox/toolboxplace.h"

std::optional<QPoint> ToolboxPlace::showing()
{
    placedAt_.reset();
    return kept_;
}

void ToolboxPlace::exposed(QPoint pos, qint64 ms)
{
    if (placedAt_)
        return;
    placedAt_ = pos;
    exposedMs_ = ms;
}

void ToolboxPlace::moved(QPoint pos, qint64 ms)
{
    // Before the window is on screen, every move is the window manager's or our own.
    if (!placedAt_)
        return;
    if (ms - exposedMs_ < SettleMs) {
        placedAt_ = pos;
        return;
    }
    if (pos != *placedAt_)
        userMoved_ = true;
}

void ToolboxPlace::hiding(QPoint pos)
{
    if (userMoved_)
        kept_ = pos;
}
