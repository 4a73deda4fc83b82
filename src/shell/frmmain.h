#pragma once

#include "cmdlg.h"

#include <QColor>
#include <QWidget>

class Program;
class QTimer;

// The canvas window: borderless, not in the taskbar. It is the program's start-up window, shows
// the captured picture and takes the drawing.
class FrmMain : public QWidget
{
    Q_OBJECT
public:
    explicit FrmMain(Program& program);
    ~FrmMain() override;

    Cmdlg cmdlg;
    QTimer* tmrTimer; // the canvas timer, 1 ms

    void stopTimer();

    // Drawing attributes.
    int DrawWidth = 1;  // pen width in pixels
    int FillStyle = 1;  // 0 solid, 1 outline only
    QColor FillColor;   // the shape colour

    // Runs the whole start-up.
    void Form_Load();
    // Close handling: asked, then unloading.
    void Form_QueryUnload();
    void Form_Unload();

    void setToolCursor(const QCursor& cursor);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Program& program_;
};
