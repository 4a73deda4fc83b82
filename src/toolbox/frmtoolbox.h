#pragma once

#include "canvas/colortable.h"
#include "canvas/drawingattributes.h"
#include "toolbox/commandbutton.h"
#include "toolbox/toolboxplace.h"

#include <QElapsedTimer>
#include <QList>
#include <QWidget>

class Cmdlg;
class ComboList;
class ColorSwatch;
class FrameCaption;
class KeyState;
class ToolBar;
class QToolButton;
class QTimer;

// The floating toolbox. Its lists and bars hold the current colour, size, font, font styles, tool
// and fill; it publishes them as drawing attributes whenever they change, and reports the tool
// chosen and the command buttons pressed. Its widgets keep the names the help pages use.
class FrmToolbox : public QWidget
{
    Q_OBJECT
public:
    // The toolbox belongs to the canvas window, so window managers keep it above the canvas even
    // when the canvas covers the whole screen. The custom colour is asked for with cmdlg and kept
    // in colors.
    FrmToolbox(KeyState& keys, Cmdlg& cmdlg, ColorTable& colors, QWidget* canvas);

    // What the drawing is made with now.
    DrawingAttributes attributes() const;

    // Makes the command buttons at their places. They take the keyboard focus in reading order,
    // top row first, whatever the order they are given in.
    void addCommandButtons(QList<CommandButton> buttons);

    // Selections made from code, as start-up applies the stored defaults. Each runs the list's
    // selection handling as a user's choice would.
    void chooseSize(int listIndex);
    void chooseColor(int listIndex);
    void chooseFont(int listIndex);
    int fontCount() const;
    // Shows tool t pressed on the tool bar, without choosing it.
    void showTool(int tool);
    // Presses fill button 1 (Outline) or 2 (Solid).
    void showFill(int button);
    // Enables or disables both fill buttons.
    void setFillButtonsEnabled(bool enabled);

    // Keypad plus and minus step the size by ten, system-wide, every tick while held.
    void tmr_Timer();
    void stopTimer();
    // From now on closing the toolbox closes it; until then it only hides.
    void allowClose();

    // Runs once, when the window is created: fills the size and font lists.
    void Form_Load();

    void cboColor_Click();
    void cboSize_Click();
    void tlbr_mode_ButtonClick(int index);
    void tlbr_filled_ButtonClick(int index);

    // Once the user has moved it, shown again where it was when it was hidden; until then the
    // window manager places every showing.
    void setVisible(bool visible) override;

Q_SIGNALS:
    void attributesChanged(const DrawingAttributes& attributes);
    void toolChosen(int tool);
    void command(int command); // a command button was clicked

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QRect layout(double left, double top, double width, double height) const;
    // How much larger than at 96 dpi the images are drawn.
    double pixelScale() const;
    void publish();

    KeyState& keys_;
    Cmdlg& cmdlg_;
    ColorTable& colors_;
    int lastColorIndex_ = 8; // the colour drawn with when the colour list has no selection
    bool closable_ = false;
    bool keysWatched_ = false; // the keyboard reports presses: the timer runs only after one
    bool timerStopped_ = false;
    ToolboxPlace place_;
    QElapsedTimer clock_;
    bool watchingWindow_ = false;

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
    FrameCaption* framePgrm;
    QTimer* tmr; // keypad size steps, 100 ms
};
