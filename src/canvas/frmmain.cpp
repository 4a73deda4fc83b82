#include "frmmain.h"

#include "drawingstate.h"
#include "mousedrawing.h"
#include "platform/cursorposition.h"
#include "platform/units.h"
#include "textentry.h"
#include "texttool.h"
#include "ui/screenmetrics.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

FrmMain::FrmMain(DrawingState& drawing, CursorPosition& cursor)
    : QWidget(nullptr), drawing_(drawing), cursor_(cursor), lblText(this)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr("Scrawlix"));
    // Borderless, and a tool window so that it gets no taskbar entry.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setFocusPolicy(Qt::StrongFocus);

    tmrTimer = new QTimer(this);
    tmrTimer->setInterval(1);
    connect(tmrTimer, &QTimer::timeout, this, [this] {
        tmrTimer_Timer(*this);
        if (!timerHasWork(*this))
            tmrTimer->stop();
    });
    // Moves over the canvas come without a button too, so CursorPos follows the pointer.
    setMouseTracking(true);

    lblText.onLoad = [this](TextLabel* label) { connectLabel(label); };
    document_.setTemplateFormat(font(), palette().color(QPalette::WindowText));
    updateLabels();

    txtText = new TextEntryBox(this);
    txtText->setGeometry(units::twipsRectToPixels(0, 0, 2295, 735, screenTwipsPerPixelX(),
                                                  screenTwipsPerPixelY()));
    txtText->hide();
    connect(txtText, &QPlainTextEdit::textChanged, this, [this] { txtText_Change(*this); });
    connect(txtText, &TextEntryBox::keyDown, this,
            [this](int code, int shift) { txtText_KeyDown(*this, code, shift); });
}

FrmMain::~FrmMain() = default;

void FrmMain::connectLabel(TextLabel* label)
{
    // The label handlers act at CursorPos, so it is taken afresh first.
    connect(label, &TextLabel::mousePressed, this, [this, label](Qt::MouseButton b) {
        sampleCursor(*this, cursorPos());
        lblText_MouseDown(*this, lblText.indexOf(label), buttonCode(b));
    });
    connect(label, &TextLabel::mouseMoved, this, [this, label](Qt::MouseButtons b) {
        sampleCursor(*this, cursorPos());
        lblText_MouseMove(*this, lblText.indexOf(label), buttonsCode(b));
    });
    connect(label, &TextLabel::mouseReleased, this, [this, label](Qt::MouseButton b) {
        sampleCursor(*this, cursorPos());
        lblText_MouseUp(*this, lblText.indexOf(label), buttonCode(b));
    });
    connect(label, &TextLabel::doubleClicked, this,
            [this, label] { lblText_DblClick(*this, lblText.indexOf(label)); });
}

void FrmMain::updateLabel(int i)
{
    lblText.show(i, document_.label(i));
}

void FrmMain::updateLabels()
{
    lblText.truncate(document_.labelCount());
    for (int i = 0; i < document_.labelCount(); ++i)
        lblText.show(i, document_.label(i));
}

void FrmMain::wakeTimer()
{
    if (timerAllowed_ && isVisible() && !tmrTimer->isActive() && timerHasWork(*this))
        tmrTimer->start();
}

void FrmMain::stopTimer()
{
    tmrTimer->stop();
    timerAllowed_ = false;
}

// Window state ----------------------------------------------------------------------------------

void FrmMain::setCanvasState(int state)
{
    if (state < Normal || state > Maximized)
        return;
    state_ = state;
    if (isVisible())
        applyState();
}

void FrmMain::applyState()
{
    switch (state_) {
    case Maximized: {
        // Full screen, not the window manager's maximize: that would leave panels uncovered.
        const QScreen* s = QGuiApplication::primaryScreen();
        if (s)
            setGeometry(s->geometry());
        showFullScreen();
        break;
    }
    case Minimized:
        showMinimized();
        break;
    default:
        if (windowState() != Qt::WindowNoState)
            showNormal();
        if (normalGeometry_.isValid())
            setGeometry(normalGeometry_);
        show();
        break;
    }
}

void FrmMain::showCanvas()
{
    if (!isVisible())
        applyState();
    else if (state_ == Normal && normalGeometry_.isValid() && geometry() != normalGeometry_)
        setGeometry(normalGeometry_);
}

void FrmMain::setCanvasGeometry(const QRect& r)
{
    normalGeometry_ = r;
    if (state_ == Normal)
        setGeometry(r); // hidden, this also sizes the persistent image before the window shows
}

QRect FrmMain::canvasGeometry() const
{
    return state_ == Normal && normalGeometry_.isValid() ? normalGeometry_ : geometry();
}

// The document on the screen ---------------------------------------------------------------------

void FrmMain::setPicture(const Picture& picture)
{
    pending_ = {};
    document_.setPicture(picture, size(), palette().color(QPalette::Window));
    update();
}

void FrmMain::releasePicture()
{
    pending_ = {};
    document_.releasePicture();
}

void FrmMain::needPicture()
{
    if (!pending_)
        return;
    const std::function<void()> arrive = std::move(pending_);
    pending_ = {};
    arrive();
}

void FrmMain::invalidate(const QRect& r)
{
    if (!r.isEmpty())
        update(r);
}

void FrmMain::resizeEvent(QResizeEvent*)
{
    document_.resize(size(), palette().color(QPalette::Window));
}

void FrmMain::paintEvent(QPaintEvent* event)
{
    needPicture();
    QPainter p(this);
    const QRect r = event->rect();
    if (document_.image().isNull())
        p.fillRect(r, palette().color(QPalette::Window));
    else
        p.drawImage(r, document_.image(), r);
}

// Mouse and keys ---------------------------------------------------------------------------------

void FrmMain::mousePressEvent(QMouseEvent* e)
{
    needPicture();
    sampleCursor(*this, e->globalPosition().toPoint());
    Form_MouseDown(*this, buttonCode(e->button()), shiftState(e->modifiers()),
                   static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
}

void FrmMain::mouseMoveEvent(QMouseEvent* e)
{
    needPicture();
    sampleCursor(*this, e->globalPosition().toPoint());
    Form_MouseMove(*this, buttonsCode(e->buttons()), shiftState(e->modifiers()),
                   static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
}

void FrmMain::mouseReleaseEvent(QMouseEvent* e)
{
    needPicture();
    sampleCursor(*this, e->globalPosition().toPoint());
    Form_MouseUp(*this, buttonCode(e->button()), shiftState(e->modifiers()),
                 static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
}

void FrmMain::keyPressEvent(QKeyEvent* e)
{
    needPicture();
    // Keys that the text box leaves unhandled come up here; only the canvas's own keys count.
    if (QApplication::focusWidget() == this)
        Q_EMIT keyDown(virtualKeyCode(e->key()));
    QWidget::keyPressEvent(e);
}

// The canvas draws no mark of its own for the focus. QWidget's handlers would repaint the whole
// canvas each time the focus comes or goes, a screen-sized repaint for every click between the
// canvas and the toolbox.
void FrmMain::focusInEvent(QFocusEvent*) {}
void FrmMain::focusOutEvent(QFocusEvent*) {}

void FrmMain::showEvent(QShowEvent*)
{
    // One tick at once: the cursor is where it is, and a label kept open while the canvas was
    // hidden catches up; the timer goes on only while that label stays open. It runs as soon as
    // the window is on its way to the screen, not before: the tick measures text.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (timerAllowed_ && isVisible()) {
                tmrTimer_Timer(*this);
                wakeTimer();
            }
        },
        Qt::QueuedConnection);
}

void FrmMain::hideEvent(QHideEvent*)
{
    // Nothing observable happens while the canvas is hidden, so the timer rests.
    tmrTimer->stop();
    // The window's buffer is a screen's worth of memory.
    releaseWindowBuffer(*this);
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    // Until the program exits, a close is only a request: the window and the tray icon stay.
    if (!closable_) {
        event->ignore();
        Q_EMIT closeAsked();
        return;
    }
    event->accept();
    Q_EMIT closing();
}

void FrmMain::allowClose()
{
    closable_ = true;
}
