#pragma once

#include <QPoint>

class CursorPosition
{
public:
    virtual ~CursorPosition() = default;
    // The mouse cursor's position in screen pixels.
    virtual QPoint GetCursorPos() = 0;
};
