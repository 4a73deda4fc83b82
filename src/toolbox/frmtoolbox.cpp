#include "frmtoolbox.h"

#include "canvas/cmdlg.h"
#include "canvas/tools.h"
#include "platform/keystate.h"
#include "platform/qt/titlebar.h"
#include "platform/units.h"
#include "settings/lists.h"
#include "ui/art.h"
#include "ui/screenmetrics.h"
#include "ui/widgets.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <utility>

FrmToolbox::FrmToolbox(KeyState& keys, Cmdlg& cmdlg, ColorTable& colors, QWidget* canvas)
    : QWidget(canvas), keys_(keys), cmdlg_(cmdlg), colors_(colors)
{
    clock_.start();
    setObjectName(QStringLiteral("frmToolbox"));
    setWindowTitle(tr("Toolbox"));
    // A fixed tool window: small caption, close box only, no taskbar entry.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(artIcon(QStringLiteral("icons/scrawlix")));
    const QRect client = layout(0, 0, 2175, 5535);
    setFixedSize(client.size());
    // Wider where the window manager's frame would cut the title short; the widgets keep their
    // places, and the margin falls to the right.
    fitTitle(this);

    frameColor = new FrameCaption(tr("Pen && Text Color"), this);
    frameColor->setObjectName(QStringLiteral("frameColor"));
    frameColor->setGeometry(layout(0, 0, 2175, 200));

    cboColor = new ComboList(this);
    cboColor->setObjectName(QStringLiteral("cboColor"));
    cboColor->setToolTip(tr("Pen and Text Color"));
    cboColor->setGeometry(layout(0, 240, 2175, 315));
    fillColorList(cboColor);
    cboColor->setCurrentIndex(-1);

    shpColor = new ColorSwatch(this);
    shpColor->setObjectName(QStringLiteral("shpColor"));
    shpColor->setGeometry(layout(120, 600, 1935, 255));

    framePen = new FrameCaption(tr("Drawing/Font Size"), this);
    framePen->setObjectName(QStringLiteral("framePen"));
    framePen->setGeometry(layout(0, 960, 2175, 200));

    cboSize = new ComboList(this);
    cboSize->setObjectName(QStringLiteral("cboSize"));
    cboSize->setToolTip(tr("Pen and Text Size"));
    cboSize->setGeometry(layout(0, 1200, 2175, 315));

    frameText = new FrameCaption(tr("Text Options"), this);
    frameText->setObjectName(QStringLiteral("frameText"));
    frameText->setGeometry(layout(0, 1560, 2175, 200));

    cboTextFont = new ComboList(this);
    cboTextFont->setObjectName(QStringLiteral("cboTextFont"));
    cboTextFont->setToolTip(tr("Font"));
    cboTextFont->setGeometry(layout(0, 1800, 2175, 315));

    auto icon = [](const char* name) { return artIcon(QStringLiteral("icons/") + QLatin1String(name)); };
    tlbr_fontstyle =
        new ToolBar(ToolBar::Kind::Check,
                    {{QStringLiteral("Bold"), icon("bold"), tr("Bold")},
                     {QStringLiteral("Italic"), icon("italic"), tr("Italic")},
                     {QStringLiteral("Underline"), icon("underline"), tr("Underline")},
                     {QStringLiteral("Strikeout"), icon("strikeout"), tr("Strikeout")}},
                    this, pixelScale());
    tlbr_fontstyle->setObjectName(QStringLiteral("tlbr_fontstyle"));
    tlbr_fontstyle->setToolTip(tr("Font Styles"));
    tlbr_fontstyle->setGeometry(layout(0, 2160, 1815, 390));

    frameDrawing = new FrameCaption(tr("Drawing"), this);
    frameDrawing->setObjectName(QStringLiteral("frameDrawing"));
    frameDrawing->setGeometry(layout(0, 2640, 2175, 200));

    // One button per drawing tool, its index the tool's code.
    QList<ToolBar::Button> tools;
    for (int code = 1; code <= toolCount(); ++code) {
        const ToolDescriptor* tool = findTool(code);
        tools.append(
            {QLatin1String(tool->caption), artIcon(QLatin1String(tool->icon)), toolCaption(*tool)});
    }
    tlbr_mode = new ToolBar(ToolBar::Kind::Group, tools, this, pixelScale());
    tlbr_mode->setObjectName(QStringLiteral("tlbr_mode"));
    tlbr_mode->setToolTip(tr("Drawing Tools"));
    tlbr_mode->setGeometry(layout(0, 2880, 2175, 390));
    tlbr_mode->setPressed(1, true);

    tlbr_filled = new ToolBar(ToolBar::Kind::Group,
                              {{QStringLiteral("Outline"), icon("outline"), tr("Outline")},
                               {QStringLiteral("Solid"), icon("solid"), tr("Solid")}},
                              this, pixelScale());
    tlbr_filled->setObjectName(QStringLiteral("tlbr_filled"));
    tlbr_filled->setToolTip(tr("Fill Options"));
    tlbr_filled->setGeometry(layout(0, 3240, 735, 390));
    tlbr_filled->setPressed(1, true);

    Frame1 = new FrameCaption(tr("Image Options"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(layout(0, 3720, 2175, 200));

    framePgrm = new FrameCaption(tr("Scrawlix"), this);
    framePgrm->setObjectName(QStringLiteral("framePgrm"));
    framePgrm->setGeometry(layout(0, 4440, 2175, 200));
    // The command buttons under these two captions come from the program (addCommandButtons).

    tmr = new QTimer(this);
    tmr->setObjectName(QStringLiteral("tmr"));
    tmr->setInterval(100);
    connect(tmr, &QTimer::timeout, this, [this] { tmr_Timer(); });

    connect(cboColor, &ComboList::selected, this, [this] { cboColor_Click(); });
    connect(cboSize, &ComboList::selected, this, [this] { cboSize_Click(); });
    connect(tlbr_mode, &ToolBar::buttonClick, this, [this](int i) { tlbr_mode_ButtonClick(i); });
    connect(tlbr_filled, &ToolBar::buttonClick, this, [this](int i) { tlbr_filled_ButtonClick(i); });
    connect(cboTextFont, &ComboList::selected, this, [this] { publish(); });
    connect(tlbr_fontstyle, &ToolBar::buttonClick, this, [this] { publish(); });

    Form_Load();
}

void FrmToolbox::addCommandButtons(QList<CommandButton> buttons)
{
    // Made in reading order, since the keyboard focus moves in the order widgets are made.
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const CommandButton& a, const CommandButton& b) {
                         return std::make_pair(a.button.top, a.button.left) <
                                std::make_pair(b.button.top, b.button.left);
                     });
    const int side = qRound(16 * pixelScale());
    for (const CommandButton& c : buttons) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(c.button.name));
        b->setToolTip(c.tip);
        b->setIcon(artIcon(c.icon));
        b->setIconSize(QSize(side, side));
        b->setGeometry(layout(c.button.left, c.button.top, 375, 375));
        connect(b, &QToolButton::clicked, this,
                [this, command = c.command] { Q_EMIT this->command(command); });
    }
}

double FrmToolbox::pixelScale() const
{
    // Images drawn for 96 dpi, where a pixel is 15 twips.
    return 15.0 / screenTwipsPerPixelX();
}

QRect FrmToolbox::layout(double left, double top, double width, double height) const
{
    return units::twipsRectToPixels(left, top, width, height, screenTwipsPerPixelX(),
                                    screenTwipsPerPixelY());
}

void FrmToolbox::Form_Load()
{
    fillSizeList(cboSize);
    cboSize->setCurrentIndex(-1);
    fillFontList(cboTextFont);
    cboTextFont->setCurrentIndex(-1);
    // Where the keyboard reports presses, the timer runs only from a press until no keypad
    // key is held, so a program that waits takes no processor time.
    keysWatched_ = keys_.watchPresses([this] {
        if (!timerStopped_ && !tmr->isActive())
            tmr->start();
    });
    if (!keysWatched_)
        tmr->start();
}

void FrmToolbox::tmr_Timer()
{
    const qint16 plus = keys_.GetAsyncKeyState(vk::Add);
    if (plus != 0 && cboSize->currentIndex() < 89)
        cboSize->setListIndex(cboSize->currentIndex() + 10);
    const qint16 minus = keys_.GetAsyncKeyState(vk::Subtract);
    if (minus != 0 && cboSize->currentIndex() > 9)
        cboSize->setListIndex(cboSize->currentIndex() - 10);
    const qint16 held = static_cast<qint16>(0x8000);
    if (keysWatched_ && (plus & held) == 0 && (minus & held) == 0)
        tmr->stop();
}

void FrmToolbox::stopTimer()
{
    timerStopped_ = true;
    tmr->stop();
}

void FrmToolbox::allowClose()
{
    closable_ = true;
}

DrawingAttributes FrmToolbox::attributes() const
{
    DrawingAttributes a;
    int index = cboColor->currentIndex();
    // A list without a selection keeps drawing in the last colour it had.
    if (index < 0 || index > CustomColorIndex)
        index = lastColorIndex_;
    a.color = colorFromBgr(colorTableValue(colors_, index));
    bool ok = false;
    const int size = cboSize->currentData().toInt(&ok); // the entry's number, whatever its text
    a.size = ok ? size : 1;
    a.filled = tlbr_filled->pressedIndex() == 2;
    a.fontFamily = cboTextFont->currentText();
    a.bold = tlbr_fontstyle->isPressed(1);
    a.italic = tlbr_fontstyle->isPressed(2);
    a.underline = tlbr_fontstyle->isPressed(3);
    a.strikeOut = tlbr_fontstyle->isPressed(4);
    return a;
}

void FrmToolbox::publish()
{
    Q_EMIT attributesChanged(attributes());
}

void FrmToolbox::chooseSize(int listIndex)
{
    cboSize->setListIndex(listIndex);
}

void FrmToolbox::chooseColor(int listIndex)
{
    cboColor->setListIndex(listIndex);
}

void FrmToolbox::chooseFont(int listIndex)
{
    cboTextFont->setListIndex(listIndex);
}

int FrmToolbox::fontCount() const
{
    return cboTextFont->count();
}

void FrmToolbox::showTool(int tool)
{
    tlbr_mode->setPressed(tool, true);
}

void FrmToolbox::showFill(int button)
{
    tlbr_filled->setPressed(button, true);
    publish();
}

void FrmToolbox::setFillButtonsEnabled(bool enabled)
{
    for (int i = 1; i <= 2; ++i)
        tlbr_filled->setButtonEnabled(i, enabled);
}

void FrmToolbox::cboColor_Click()
{
    const int index = cboColor->currentIndex();
    if (index >= 0 && index <= CustomColorIndex)
        lastColorIndex_ = index;
    if (index == CustomColorIndex) {
        cmdlg_.DialogTitle = tr("Select Custom Color");
        cmdlg_.ShowColor();
        colors_[CustomColorIndex] = QString::number(cmdlg_.Color);
    }
    shpColor->setFillColor(colorFromBgr(colorTableValue(colors_, index)));
    publish();
}

void FrmToolbox::cboSize_Click()
{
    publish();
}

void FrmToolbox::tlbr_mode_ButtonClick(int index)
{
    Q_EMIT toolChosen(index);
}

void FrmToolbox::tlbr_filled_ButtonClick(int)
{
    publish();
}

void FrmToolbox::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        // A position of our own, handed to the window system before the window maps, so the
        // window manager keeps it (move() would do nothing: Qt still has the window there).
        if (const std::optional<QPoint> kept = place_.showing())
            if (QWindow* w = windowHandle())
                w->setPosition(*kept);
    } else if (!visible && isVisible()) {
        place_.hiding(geometry().topLeft()); // the client area's: the frame is the manager's
    }
    QWidget::setVisible(visible);
    if (visible && !watchingWindow_)
        if (QWindow* w = windowHandle()) {
            w->installEventFilter(this);
            watchingWindow_ = true;
        }
}

bool FrmToolbox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Expose && watched == windowHandle() && windowHandle()->isExposed())
        place_.exposed(geometry().topLeft(), clock_.elapsed());
    return QWidget::eventFilter(watched, event);
}

void FrmToolbox::moveEvent(QMoveEvent* event)
{
    if (isVisible())
        place_.moved(geometry().topLeft(), clock_.elapsed());
    QWidget::moveEvent(event);
}

void FrmToolbox::hideEvent(QHideEvent*)
{
    // Hidden in the tray, and for every snapshot of the canvas.
    releaseWindowBuffer(*this);
}

void FrmToolbox::closeEvent(QCloseEvent* event)
{
    if (closable_) {
        event->accept();
        return;
    }
    // Closing only hides the toolbox; it lives until the program exits.
    event->ignore();
    hide();
}
