#pragma once

class QWidget;

class TopMost
{
public:
    virtual ~TopMost() = default;
    // Puts the window above all windows that are not topmost, keeping position and size.
    virtual void SetTopMost(QWidget* window) = 0;
};
