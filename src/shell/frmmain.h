#pragma once

#include "canvas/labels.h"
#include "cmdlg.h"
#include "imaging/picture.h"
#include "trayclicks.h"

#include <QColor>
#include <QElapsedTimer>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QPointF>
#include <QWidget>

class Program;
class QAction;
class QMenu;
class QPlainTextEdit;
class QSystemTrayIcon;
class QTimer;
class TextEntryBox;

// The highlighter's source block: a hidden picture box whose whole surface has one colour. Only
// a w x w block is ever copied from it, so it keeps no image of its own size.
struct HighlightSource {
    QSize size;
    QColor BackColor = Qt::white;
    // The w x w block at (0, 0), clipped to the box. The last block is kept, as the highlighter
    // asks for one on every mouse move.
    QImage block(int w) const;
    mutable QImage lastBlock{};
};

// The canvas window: borderless, not in the taskbar. It is the program's start-up window, shows
// the captured picture and takes the drawing, and owns the tray icon and its popup menu.
class FrmMain : public QWidget
{
    Q_OBJECT
public:
    explicit FrmMain(Program& program);
    ~FrmMain() override;

    enum CanvasState { Normal = 0, Minimized = 1, Maximized = 2 };

    Cmdlg cmdlg;
    QTimer* tmrTimer;          // the canvas timer, 1 ms
    Picture picbox;            // the snapshot kept while the canvas is hidden
    HighlightSource pichighlight;
    LabelArray lblText;
    TextEntryBox* txtText;
    QSystemTrayIcon* STI;
    QMenu* mnuMenu;
    QHash<QString, QIcon> imgList; // popup-menu icons by key

    QAction* mnuCaptureScreen;
    QAction* mnuCaptureWindow;
    QAction* mnuToolbox;
    QAction* mnuOpen;
    QAction* mnuAbout;
    QAction* mnuConfig;
    QAction* mnuHelp;
    QAction* mnuShow;
    QAction* mnuHide;
    QAction* mnuSendtoTray;
    QAction* mnuExit;

    // Drawing attributes.
    int DrawWidth = 1;      // pen width in pixels
    int FillStyle = 1;      // 0 solid, 1 outline only
    QColor FillColor;       // the shape colour
    QPointF CurrentPoint;   // where the next pen segment starts

    // Runs the whole start-up.
    void Form_Load();
    // Close handling: asked, then unloading.
    void Form_QueryUnload();
    void Form_Unload();

    void stopTimer();
    void setToolCursor(const QCursor& cursor);

    // Called by name by the hot-key window procedure.
    Q_INVOKABLE void HotKey(int dwKey, int dwShift);

    // Window state and placement. "Maximized" covers the whole primary screen, panels included.
    int canvasState() const { return state_; }
    void setCanvasState(int state);
    // Shows the window in its current state.
    void showCanvas();
    // Position and size in the normal state, in pixels.
    void setCanvasGeometry(const QRect& r);
    QRect canvasGeometry() const;
    // Left and top edges in twips, and moving them.
    double Left() const;
    double Top() const;
    void setLeftTop(double leftTwips, double topTwips);
    void setSizeTwips(double widthTwips, double heightTwips);
    // The client area in pixels.
    int ScaleWidth() const { return width(); }
    int ScaleHeight() const { return height(); }

    // The background picture. Assigning it starts the drawing afresh from the picture.
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);
    // The persistent image that the window shows: picture plus drawing.
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    // Repaints the part of the window that a drawing operation changed.
    void invalidate(const QRect& r);

    // Menu and tray handlers.
    void STI_DblClick();
    void STI_MouseDown(int button);
    // What the tray icon reports, as QSystemTrayIcon gives it.
    void STI_Activated(int reason);
    void mnuSendtoTray_Click();

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

private:
    void buildMenu();
    void rebuildImage(const QSize& size);
    void applyState();
    void connectLabel(TextLabel* label);

    Program& program_;
    Picture picture_;
    QImage image_;
    int state_ = Normal;
    QRect normalGeometry_;
    bool timerAllowed_ = true; // false once exit has stopped the timer
    TrayClicks trayClicks_;
    QElapsedTimer trayClock_;
};
