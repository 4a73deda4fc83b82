#pragma once

#include <QCursor>
#include <QString>
#include <cstdint>

class Program;

// The cursor resource and hot spot of each tool code 1..6.
struct ToolCursorInfo {
    const char* resource;
    int hotX;
    int hotY;
    bool fillButtons; // circle and rectangle can be filled
};
const ToolCursorInfo* toolCursorInfo(int tool);
QCursor toolCursor(int tool);

// Makes t the current tool: its cursor on the canvas and the fill buttons enabled for the
// shapes that can be filled. Codes outside 1..6 are ignored.
void SelectTool(Program& program, std::int16_t t);

// Enables or disables both fill buttons of the toolbox.
void SetFillButtonsEnabled(Program& program, bool enabled);
