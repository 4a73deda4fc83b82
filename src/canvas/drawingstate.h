#pragma once

#include <QPoint>
#include <cstdint>

// The program-wide drawing variables. Everything runs on the one UI thread, so there is no lock.
// Tools are known by their code (tools.h).
struct DrawingState {
    std::int16_t CurrentTool = 1; // start-up selects the stored tool
    std::int16_t StrokeTool = 0;  // the tool whose stroke runs until the button's release; 0: none
    float AnchorX = 1;           // 1: no pending first point
    std::int16_t AnchorY = 1;
    std::int16_t NextLabelIndex = 0;
    QPoint CursorPos{0, 0};      // canvas pixels, sampled by the canvas timer
    bool WindowCaptureMode = false;
};
