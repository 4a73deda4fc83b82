#pragma once

class QWidget;

// The program's windows belong to its tray icon: the canvas, the toolbox and the message boxes
// have no button of their own in a taskbar, and no place in a pager.
class Taskbar
{
public:
    virtual ~Taskbar() = default;
    // Keeps the window off the taskbar and the pager from now on, at every showing.
    virtual void SkipTaskbar(QWidget* window) = 0;
};
