#include "frmmain.h"

#include "canvas/mousedrawing.h"
#include "canvas/textentry.h"
#include "canvas/texttool.h"
#include "captureflow.h"
#include "commands.h"
#include "hotkey.h"
#include "menuextender.h"
#include "platform/keystate.h"
#include "platform/platform.h"
#include "platform/units.h"
#include "program.h"
#include "shortcuts.h"
#include "startup.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QTimer>

QImage HighlightSource::block(int w) const
{
    const int bw = qBound(0, w, size.width());
    const int bh = qBound(0, w, size.height());
    if (bw == 0 || bh == 0)
        return {};
    if (lastBlock.size() != QSize(bw, bh) || lastBlock.pixel(0, 0) != BackColor.rgb()) {
        lastBlock = QImage(bw, bh, QImage::Format_RGB32);
        lastBlock.fill(BackColor);
    }
    return lastBlock;
}

namespace {
int vbButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int vbButtons(Qt::MouseButtons b)
{
    int r = 0;
    if (b & Qt::LeftButton)
        r |= 1;
    if (b & Qt::RightButton)
        r |= 2;
    if (b & Qt::MiddleButton)
        r |= 4;
    return r;
}
} // namespace

FrmMain::FrmMain(Program& program)
    : QWidget(nullptr), cmdlg(*program.platform().dialogs), lblText(this), program_(program),
      trayClicks_(QGuiApplication::styleHints()->mouseDoubleClickInterval())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Scrawlix"));
    // Borderless, and a tool window so that it gets no taskbar entry.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setFocusPolicy(Qt::StrongFocus);

    tmrTimer = new QTimer(this);
    tmrTimer->setInterval(1);
    connect(tmrTimer, &QTimer::timeout, this, [this] { tmrTimer_Timer(program_); });

    lblText.onLoad = [this](TextLabel* label) { connectLabel(label); };
    lblText.init();

    txtText = new TextEntryBox(this);
    txtText->setGeometry(units::twipsRectToPixels(0, 0, 2295, 735, program.twipsPerPixelX(),
                                                  program.twipsPerPixelY()));
    txtText->hide();
    connect(txtText, &QPlainTextEdit::textChanged, this, [this] { txtText_Change(program_); });
    connect(txtText, &TextEntryBox::keyDown, this,
            [this](int code, int shift) { txtText_KeyDown(program_, code, shift); });

    STI = new QSystemTrayIcon(this);
    STI->setToolTip(QStringLiteral("Scrawlix"));
    connect(STI, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason r) { STI_Activated(r); });
    trayClock_.start();

    buildMenu();
}

FrmMain::~FrmMain() = default;

void FrmMain::buildMenu()
{
    mnuMenu = new QMenu(this);
    mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
    mnuMenu->setTitle(QStringLiteral("&Menu"));
    auto item = [this](const char* name, const char* caption) {
        auto* a = new QAction(this);
        a->setObjectName(QLatin1String(name));
        setStoredCaption(a, QString::fromUtf8(caption));
        mnuMenu->addAction(a);
        return a;
    };
    mnuCaptureScreen = item("mnuCaptureScreen", "Capture Screen|#getscreen");
    mnuCaptureWindow = item("mnuCaptureWindow", "Capture Window|#getwin");
    mnuToolbox = item("mnuToolbox", "Show Toolbox|#toolbox");
    mnuOpen = item("mnuOpen", "Open|#open");
    item("mnuSep1", "-");
    mnuAbout = item("mnuAbout", "&About|#about");
    mnuConfig = item("mnuConfig", "&Configuration|#config");
    mnuHelp = item("mnuHelp", "&Help|#help");
    item("mnuSep2", "-");
    mnuShow = item("mnuShow", "Show|#show");
    mnuHide = item("mnuHide", "Hide|#hide");
    item("mnusep3", "-");
    mnuSendtoTray = item("mnuSendtoTray", "Send to System Tray|#sendtotray");
    mnuExit = item("mnuExit", "E&xit|#exit");

    mnuShow->setEnabled(false);
    mnuHide->setEnabled(false);
    mnuHide->setVisible(false);

    Program& p = program_;
    connect(mnuCaptureScreen, &QAction::triggered, this,
            [&p] { CaptureAndShow(p, QStringLiteral("screen")); });
    connect(mnuCaptureWindow, &QAction::triggered, this,
            [&p] { CaptureAndShow(p, QStringLiteral("window")); });
    connect(mnuToolbox, &QAction::triggered, this, [&p] { ShowToolbox(p); });
    connect(mnuOpen, &QAction::triggered, this, [&p] { menuOpen(p); });
    connect(mnuAbout, &QAction::triggered, this, [&p] { menuAbout(p); });
    connect(mnuConfig, &QAction::triggered, this, [&p] { menuConfig(p); });
    connect(mnuHelp, &QAction::triggered, this, [&p] { menuHelp(p); });
    connect(mnuShow, &QAction::triggered, this, [&p] { ShowHideCanvas(p, QStringLiteral("show")); });
    connect(mnuHide, &QAction::triggered, this, [&p] { ShowHideCanvas(p, QStringLiteral("hide")); });
    connect(mnuSendtoTray, &QAction::triggered, this, [this] { mnuSendtoTray_Click(); });
    connect(mnuExit, &QAction::triggered, this, [&p] { ExitProgram(p); });
}

void FrmMain::connectLabel(TextLabel* label)
{
    connect(label, &TextLabel::mousePressed, this, [this, label](Qt::MouseButton b) {
        lblText_MouseDown(program_, lblText.indexOf(label), vbButton(b));
    });
    connect(label, &TextLabel::mouseMoved, this, [this, label](Qt::MouseButtons b) {
        lblText_MouseMove(program_, lblText.indexOf(label), vbButtons(b));
    });
    connect(label, &TextLabel::mouseReleased, this, [this](Qt::MouseButton) {
        // A stroke that began on a label ends with its release; no popup menu for it.
        program_.drawing.PenStrokeActive = false;
        program_.drawing.HighlightActive = false;
    });
    connect(label, &TextLabel::doubleClicked, this,
            [this, label] { lblText_DblClick(program_, lblText.indexOf(label)); });
}

void FrmMain::Form_Load()
{
    runStartup(program_);
}

void FrmMain::Form_QueryUnload()
{
    program_.menuExtender.DetachMenus(mnuMenu);
}

void FrmMain::Form_Unload()
{
    STI->setVisible(false);
    program_.menuExtender.DetachMenus(mnuMenu);
}

void FrmMain::stopTimer()
{
    tmrTimer->stop();
    timerAllowed_ = false;
}

void FrmMain::setToolCursor(const QCursor& cursor)
{
    setCursor(cursor);
}

void FrmMain::HotKey(int dwKey, int dwShift)
{
    HotKeyPressed(program_, dwKey, dwShift);
}

void FrmMain::STI_DblClick()
{
    const bool ctrl = program_.platform().keys->GetAsyncKeyState(vk::Control) != 0;
    CaptureAndShow(program_, ctrl ? QStringLiteral("window") : QStringLiteral("screen"));
}

void FrmMain::STI_Activated(int reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        trayClicks_.reported();
        STI_DblClick();
        break;
    case QSystemTrayIcon::Context:
        STI_MouseDown(2);
        break;
    case QSystemTrayIcon::Trigger:
        STI_MouseDown(1);
        if (trayClicks_.click(trayClock_.elapsed())) {
            QTimer::singleShot(0, this, [this] {
                if (trayClicks_.takePending())
                    STI_DblClick();
            });
        }
        break;
    case QSystemTrayIcon::MiddleClick:
        STI_MouseDown(4);
        break;
    default:
        break;
    }
}

void FrmMain::STI_MouseDown(int button)
{
    if (button == 2)
        mnuMenu->popup(QCursor::pos());
}

void FrmMain::mnuSendtoTray_Click()
{
    SendToTray(program_);
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

double FrmMain::Left() const
{
    return canvasGeometry().x() * program_.twipsPerPixelX();
}

double FrmMain::Top() const
{
    return canvasGeometry().y() * program_.twipsPerPixelY();
}

void FrmMain::setLeftTop(double leftTwips, double topTwips)
{
    QRect r = canvasGeometry();
    r.moveTo(units::twipsToPixels(leftTwips, program_.twipsPerPixelX()),
             units::twipsToPixels(topTwips, program_.twipsPerPixelY()));
    setCanvasGeometry(r);
}

void FrmMain::setSizeTwips(double widthTwips, double heightTwips)
{
    QRect r = canvasGeometry();
    r.setSize(QSize(units::twipsToPixels(widthTwips, program_.twipsPerPixelX()),
                    units::twipsToPixels(heightTwips, program_.twipsPerPixelY())));
    setCanvasGeometry(r);
}

// Picture and persistent image ------------------------------------------------------------------

void FrmMain::setPicture(const Picture& picture)
{
    picture_ = picture;
    image_ = QImage();
    rebuildImage(size());
    update();
}

void FrmMain::rebuildImage(const QSize& sz)
{
    if (sz.isEmpty())
        return;
    if (image_.size() == sz)
        return;
    QImage fresh(sz, QImage::Format_RGB32);
    fresh.fill(palette().color(QPalette::Window));
    QPainter p(&fresh);
    if (!picture_.isNull())
        p.drawImage(QPoint(0, 0), picture_.image());
    // The drawing made so far stays where it was.
    if (!image_.isNull())
        p.drawImage(QPoint(0, 0), image_);
    p.end();
    image_ = fresh;
}

void FrmMain::invalidate(const QRect& r)
{
    if (!r.isEmpty())
        update(r);
}

void FrmMain::resizeEvent(QResizeEvent*)
{
    rebuildImage(size());
}

void FrmMain::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect r = event->rect();
    if (image_.isNull())
        p.fillRect(r, palette().color(QPalette::Window));
    else
        p.drawImage(r, image_, r);
}

// Mouse and keys ---------------------------------------------------------------------------------

void FrmMain::mousePressEvent(QMouseEvent* e)
{
    Form_MouseDown(program_, vbButton(e->button()), shiftState(e->modifiers()),
                   static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
}

void FrmMain::mouseMoveEvent(QMouseEvent* e)
{
    Form_MouseMove(program_, vbButtons(e->buttons()), shiftState(e->modifiers()),
                   static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
}

void FrmMain::mouseReleaseEvent(QMouseEvent* e)
{
    Form_MouseUp(program_, vbButton(e->button()), shiftState(e->modifiers()),
                 static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
}

void FrmMain::keyPressEvent(QKeyEvent* e)
{
    // Keys that the text box leaves unhandled come up here; only the canvas's own keys count.
    if (QApplication::focusWidget() == this)
        Form_KeyDown(program_, virtualKeyCode(e->key()));
    QWidget::keyPressEvent(e);
}

void FrmMain::showEvent(QShowEvent*)
{
    // The timer samples the cursor while the canvas is on screen, starting at once.
    if (timerAllowed_) {
        tmrTimer_Timer(program_);
        tmrTimer->start();
    }
}

void FrmMain::hideEvent(QHideEvent*)
{
    // Nothing observable happens while the canvas is hidden, so the timer rests.
    tmrTimer->stop();
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
    Form_Unload();
}
