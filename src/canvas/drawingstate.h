#pragma once

#include <QPoint>
#include <cstdint>

// Tool codes; the code is also the 1-based button index on the toolbox's tool bar.
enum DrawingTool : std::int16_t {
    ToolPen = 1,
    ToolCircle = 2,
    ToolRectangle = 3,
    ToolLine = 4,
    ToolText = 5,
    ToolHighlighter = 6,
};

// The program-wide drawing variables. Everything runs on the one UI thread, so there is no lock.
struct DrawingState {
    std::int16_t CurrentTool = ToolPen;
    bool PenStrokeActive = false;
    bool HighlightActive = false;
    float AnchorX = 1;           // 1: no pending first point
    std::int16_t AnchorY = 1;
    std::int16_t NextLabelIndex = 0;
    QPoint CursorPos{0, 0};      // canvas pixels, sampled by the canvas timer
    bool WindowCaptureMode = false;
};
