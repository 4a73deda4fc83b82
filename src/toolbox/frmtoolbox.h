#pragma once

#include <QWidget>

class Program;
class ComboList;
class ColorSwatch;
class FrameCaption;
class ToolBar;
class QToolButton;
class QTimer;

// The floating toolbox. Its widgets are the store of the current colour, size, font, font
// styles, tool and fill style: the drawing code reads them when it draws.
class FrmToolbox : public QWidget
{
    Q_OBJECT
public:
    // The toolbox belongs to the canvas window, so window managers keep it above the canvas even
    // when the canvas covers the whole screen.
    FrmToolbox(Program& program, QWidget* canvas);

    FrameCaption* frameColor;
    ComboList* cboColor;
    ColorSwatch* shpColor;
    FrameCaption* framePen;
    ComboList* cboSize;
    FrameCaption* frameText;
    ComboList* cboTextFont;
    ToolBar* tlbr_fontstyle;
    FrameCaption* frameDrawing;
    ToolBar* tlbr_mode;
    ToolBar* tlbr_filled;
    FrameCaption* Frame1;
    QToolButton* cmdCopy;
    QToolButton* cmdPrint;
    QToolButton* cmdSave;
    QToolButton* cmdLoad;
    QToolButton* cmdClear;
    FrameCaption* framePgrm;
    QToolButton* cmdCaptureScreen;
    QToolButton* cmdCaptureWindow;
    QToolButton* cmdAbout;
    QToolButton* cmdOptions;
    QToolButton* cmdHelp;
    QToolButton* cmdHide;
    QToolButton* cmdToTray;
    QToolButton* cmdExit;
    QTimer* tmr; // keypad size steps, 100 ms

    // Keypad plus and minus step the size by ten, system-wide.
    void tmr_Timer();

    void stopTimer();

    // Runs once, when the window is created: fills the size and font lists.
    void Form_Load();

    void cboColor_Click();
    void cboSize_Click();
    void tlbr_mode_ButtonClick(int index);
    void tlbr_filled_ButtonClick(int index);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QRect layout(double left, double top, double width, double height) const;
    QToolButton* commandButton(const char* name, const char* icon, const char* tip, double left,
                               double top);
    Program& program_;
};
