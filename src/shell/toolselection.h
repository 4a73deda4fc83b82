#pragma once

#include <cstdint>

class Program;

// Makes t the current tool: its cursor on the canvas and the fill buttons enabled for the
// shapes that can be filled. A code that names no tool is ignored.
void SelectTool(Program& program, std::int16_t t);

// Enables or disables both fill buttons of the toolbox.
void SetFillButtonsEnabled(Program& program, bool enabled);
