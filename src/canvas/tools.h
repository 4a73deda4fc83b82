#pragma once

#include <QCursor>
#include <QString>
#include <cstdint>

// The cursor resource and hot spot of each tool code 1..6.
struct ToolCursorInfo {
    const char* resource;
    int hotX;
    int hotY;
    bool fillButtons; // circle and rectangle can be filled
};
const ToolCursorInfo* toolCursorInfo(int tool);
QCursor toolCursor(int tool);
