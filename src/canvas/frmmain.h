#pragma once

#include "canvasdocument.h"
#include "drawingattributes.h"
#include "labels.h"
#include "platform/cursorposition.h"

#include <QTimer>
#include <QWidget>

#include <functional>

struct DrawingState;
class TextEntryBox;

// The canvas window: borderless, not in the taskbar. It shows the canvas document, turns mouse
// events into drawing on it and holds the text labels with their entry box. What it cannot do
// itself (the canvas's shortcut keys, the popup menu, going back to the pen after a text) it
// reports by signal to the shell, which wires it to the rest of the program.
class FrmMain : public QWidget
{
    Q_OBJECT
public:
    FrmMain(DrawingState& drawing, CursorPosition& cursor);
    ~FrmMain() override;

    enum CanvasState { Normal = 0, Minimized = 1, Maximized = 2 };

    DrawingState& drawing() { return drawing_; }
    CanvasDocument& document() { return document_; }
    const CanvasDocument& document() const { return document_; }
    // Where the cursor is now, in screen pixels.
    QPoint cursorPos() const { return cursor_.GetCursorPos(); }

    // What the drawing is made with; the shell hands on every change the toolbox makes.
    const DrawingAttributes& attributes() const { return attributes_; }
    void setAttributes(const DrawingAttributes& attributes) { attributes_ = attributes; }

    // The widgets that show the document's text labels, and the entry box the open one is typed
    // in. After changing label i in the document, updateLabel(i) shows the change;
    // updateLabels() shows them all.
    const LabelArray& labels() const { return lblText; }
    void updateLabel(int i);
    void updateLabels();
    TextEntryBox* entryBox() const { return txtText; }

    // The canvas timer ticks every millisecond while the canvas is shown and a tick has work
    // (timerHasWork); otherwise it rests, and the cursor comes from the mouse events.
    // wakeTimer() starts it when work may have appeared; stopTimer() stops it for good at exit.
    void wakeTimer();
    void stopTimer();
    bool timerRunning() const { return tmrTimer->isActive(); }
    // From now on closing the canvas closes it; until then a close only reports closeAsked().
    void allowClose();

    // Window state and placement. "Maximized" covers the whole primary screen, panels included.
    int canvasState() const { return state_; }
    void setCanvasState(int state);
    // Shows the window in its current state.
    void showCanvas();
    // Position and size in the normal state, in pixels.
    void setCanvasGeometry(const QRect& r);
    QRect canvasGeometry() const;
    // The client area in pixels.
    int ScaleWidth() const { return width(); }
    int ScaleHeight() const { return height(); }

    // The background picture. Assigning it starts the drawing afresh from the picture.
    const Picture& picture() const { return document_.picture(); }
    void setPicture(const Picture& picture);
    // Frees the picture and the drawing of a canvas that will not be shown again as it is.
    void releasePicture();
    // The canvas is shown before its picture has come (the window system shows a copy of it
    // meanwhile). `arrive` brings the picture, waiting for it, when the window first needs it to
    // paint or to draw; setPicture or releasePicture ends the wait.
    void setPendingPicture(std::function<void()> arrive) { pending_ = std::move(arrive); }
    bool picturePending() const { return bool(pending_); }
    // The persistent image that the window shows: picture plus drawing.
    const QImage& image() const { return document_.image(); }
    // Repaints the part of the window that a drawing operation changed.
    void invalidate(const QRect& r);

Q_SIGNALS:
    // A key the canvas itself received (not one typed into the entry box), as a virtual-key code.
    void keyDown(int keyCode);
    // The right button was released over the canvas.
    void menuRequested();
    // Shift+Enter finished the open text label.
    void textFinished();
    // The window is closing for good.
    void closing();
    // The window manager asked to close the window (Alt+F4, a pager) before allowClose().
    void closeAsked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void applyState();
    // Brings a picture that is still on its way.
    void needPicture();
    void connectLabel(TextLabel* label);

    DrawingState& drawing_;
    CursorPosition& cursor_;
    CanvasDocument document_;
    DrawingAttributes attributes_;
    QTimer* tmrTimer;     // the canvas timer, 1 ms, while it has work
    LabelArray lblText;
    TextEntryBox* txtText;
    int state_ = Normal;
    QRect normalGeometry_;
    bool timerAllowed_ = true; // false once exit has stopped the timer
    bool closable_ = false;
    std::function<void()> pending_;
};
