#include "capturecontroller.h"

#include "canvas/canvasplacement.h"
#include "canvas/frmmain.h"
#include "canvas/textentry.h"
#include "canvas/texttool.h"
#include "captureflow.h"
#include "commands.h"
#include "imaging/capture.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "platform/units.h"
#include "program.h"
#include "toolbox/frmtoolbox.h"
#include "trayicon.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTimer>
#include <QWindow>

// Timings of a capture, for the benchmarks; off unless QT_LOGGING_RULES turns them on.
Q_LOGGING_CATEGORY(lcCapture, "scrawlix.capture", QtWarningMsg)

namespace {

// The clock's next second: the longest the program's windows get to leave the screen.
QDeadlineTimer nextSecond()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    return QDeadlineTimer(1000 - now % 1000);
}

QElapsedTimer& captureClock()
{
    static QElapsedTimer clock;
    return clock;
}

} // namespace

CaptureController::Hold::~Hold()
{
    if (--c_->holds_ == 0)
        c_->runWaiting();
}

CaptureController::CaptureController(Program& program) : program_(program) {}

void CaptureController::listenTo(ScreenGrab& grab)
{
    connect(&grab, &ScreenGrab::settled, this, &CaptureController::settled);
    connect(&grab, &ScreenGrab::grabbed, this, &CaptureController::grabbed);
    connect(&grab, &ScreenGrab::grabFailed, this, &CaptureController::grabFailed);
}

void CaptureController::setState(State state)
{
    if (state == state_)
        return;
    state_ = state;
    Q_EMIT stateChanged(state);
}

bool CaptureController::whenFree(std::function<void()> request)
{
    if (!busy()) {
        request();
        return true;
    }
    wait(std::move(request));
    return false;
}

bool CaptureController::deferWhileBusy(std::function<void()> request)
{
    if (!busy())
        return false;
    wait(std::move(request));
    return true;
}

void CaptureController::wait(std::function<void()> request)
{
    waiting_.push_back(std::move(request));
    if (!capturing() && !held())
        runWaiting();
}

void CaptureController::runWaiting()
{
    // From the event loop: the request that ends a capture or a hold is still on the stack.
    if (runScheduled_ || waiting_.empty())
        return;
    runScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        runScheduled_ = false;
        while (!waiting_.empty() && !capturing() && !held()) {
            std::function<void()> next = std::move(waiting_.front());
            waiting_.pop_front();
            runningWaiting_ = true;
            next();
            runningWaiting_ = false;
        }
    });
}

void CaptureController::captureAndShow(const QString& kind)
{
    if (held() || (!waiting_.empty() && !runningWaiting_)) {
        wait([this, kind] { captureAndShow(kind); });
        return;
    }
    // A hidden canvas with its drawing is being kept: bring it back instead.
    if (state_ == State::Kept) {
        showHideCanvas(QStringLiteral("show"));
        return;
    }
    // A request while a capture is under way joins it, unless the picture is overdue: its answer
    // will not come, and the user asks again.
    if (capturing()) {
        if (state_ != State::Grabbing || grabbing_.elapsed() < overdueMs_)
            return;
        qCWarning(lcCapture, "no picture after %lld ms: the capture starts again",
                  static_cast<long long>(grabbing_.elapsed()));
    }
    start(kind);
}

void CaptureController::start(const QString& kind)
{
    FrmMain* canvas = program_.frmMain();
    FrmToolbox* toolbox = program_.frmToolbox();
    ScreenGrab* grab = program_.platform().grab.get();
    if (!canvas || !toolbox || !grab || program_.shell.IsExiting)
        return;
    captureClock().start();
    ++generation_;
    kind_ = kind;
    ticket_ = 0;

    // What must not be in the picture: the toolbox, a screen capture's canvas, and the tray menu
    // that may have asked for this. A window capture's canvas stays, and is in the picture.
    const bool erase = canvas->canvasState() == FrmMain::Maximized;
    QList<QWindow*> vanishing;
    if (toolbox->isVisible())
        vanishing.append(toolbox->windowHandle());
    if (erase && canvas->isVisible())
        vanishing.append(canvas->windowHandle());
    if (TrayIcon* tray = program_.tray()) {
        if (QWindow* menu = tray->menuWindowIfShown())
            vanishing.append(menu);
    }
    vanishing.removeAll(nullptr);

    setState(State::Settling);
    grab->settle(vanishing,
                 [canvas, toolbox, erase] {
                     if (erase) {
                         canvas->setCanvasState(FrmMain::Minimized);
                         ClearImage(*canvas);
                         // Some window managers (sway) leave a minimized window on the screen.
                         canvas->hide();
                     }
                     // Only hidden: the window manager would minimise the canvas with its
                     // transient toolbox.
                     toolbox->hide();
                     // The labels go now, so that a canvas that stays is drawn without them
                     // before the screen is read.
                     canvas->document().blankLabels();
                     canvas->updateLabels();
                     if (canvas->isVisible())
                         canvas->repaint();
                 },
                 nextSecond());
}

void CaptureController::settled()
{
    if (state_ != State::Settling)
        return;
    qCInfo(lcCapture, "settle wait %.3f ms", double(captureClock().nsecsElapsed()) / 1e6);
    Platform& platform = program_.platform();
    QRect area;
    if (kind_ == QLatin1String("window")
        && platform.grab->capabilities().testFlag(ScreenGrab::WindowCapture)) {
        const std::optional<QRect> place = activeWindowPlacement(*platform.foreground);
        if (place) {
            placement_ = *place;
            area = windowCaptureArea(*place);
        }
    }
    // No active window, or a rectangle that makes no sense: the whole screen instead.
    if (area.isEmpty()) {
        kind_ = QStringLiteral("screen");
        area = primaryMonitorRect();
    }
    setState(State::Grabbing);
    ticket_ = generation_;
    grabbing_.start();
    platform.grab->grab(ticket_, area);
    showFrozen();
}

void CaptureController::showFrozen()
{
    // Where the screen service freezes the screen in the grab itself, the canvas shows that copy
    // at once, and takes the pixels when it first paints or is drawn on.
    FrmMain* canvas = program_.frmMain();
    ScreenGrab& grab = *program_.platform().grab;
    if (!canvas || !grab.capabilities().testFlag(ScreenGrab::FrozenAtGrab))
        return;
    placeCanvas();
    if (!grab.showFrozen(canvas->windowHandle(), ticket_))
        return;
    frozenShown_ = true;
    const quint64 ticket = ticket_;
    canvas->setPendingPicture([this, ticket] { arriveNow(ticket); });
    canvas->showCanvas();
    canvas->raise();
    canvas->activateWindow();
    qCInfo(lcCapture, "frozen copy shown after %.3f ms", double(captureClock().nsecsElapsed()) / 1e6);
}

void CaptureController::placeCanvas()
{
    FrmMain* canvas = program_.frmMain();
    if (kind_ == QLatin1String("window")) {
        canvas->setCanvasState(FrmMain::Normal);
        canvas->setCanvasGeometry(placement_);
    } else {
        canvas->setCanvasState(FrmMain::Maximized);
    }
}

void CaptureController::arriveNow(quint64 ticket)
{
    if (ticket == 0 || ticket != ticket_ || state_ != State::Grabbing)
        return;
    const CapturedBitmap bitmap = program_.platform().grab->waitForGrab(ticket);
    // The answer by signal may have come in the meantime.
    if (ticket != ticket_)
        return;
    ticket_ = 0;
    qCInfo(lcCapture, "picture after %.3f ms", double(captureClock().nsecsElapsed()) / 1e6);
    const Picture picture = CreateBitmapPicture(bitmap);
    if (picture.isNull()) {
        // Told from the event loop, not from inside the canvas's painting.
        QTimer::singleShot(0, this, [this] { fail(QStringLiteral("the screen could not be read")); });
        return;
    }
    show(picture);
}

void CaptureController::dropFrozen()
{
    if (!frozenShown_)
        return;
    frozenShown_ = false;
    if (FrmMain* canvas = program_.frmMain())
        program_.platform().grab->dropFrozen(canvas->windowHandle());
}

void CaptureController::grabbed(quint64 ticket, const CapturedBitmap& bitmap)
{
    if (ticket == 0 || ticket != ticket_ || state_ != State::Grabbing)
        return;
    ticket_ = 0;
    qCInfo(lcCapture, "picture after %.3f ms", double(captureClock().nsecsElapsed()) / 1e6);
    const Picture picture = CreateBitmapPicture(bitmap);
    if (picture.isNull())
        fail(QStringLiteral("an empty picture"));
    else
        show(picture);
}

void CaptureController::grabFailed(quint64 ticket, const QString& reason)
{
    if (ticket == 0 || ticket != ticket_ || state_ != State::Grabbing)
        return;
    ticket_ = 0;
    // The screen service says why in words for the user (a refusal, a desktop that cannot be seen).
    fail(reason, reason);
}

void CaptureController::fail(const QString& reason, const QString& why)
{
    qCWarning(lcCapture, "capture failed: %s", qPrintable(reason));
    // Back where the capture began, without a picture.
    FrmMain* canvas = program_.frmMain();
    if (canvas && frozenShown_) {
        canvas->releasePicture();
        canvas->hide();
    }
    dropFrozen();
    setState(canvas && canvas->isVisible() && !canvas->isMinimized() ? State::Showing
                                                                     : State::Waiting);
    QString text = tr("The screen could not be captured. Nothing was changed.");
    if (!why.isEmpty())
        text += QStringLiteral("\n\n") + why;
    program_.platform().messages->Show(text, mb::Exclamation, tr("Scrawlix"));
    runWaiting();
}

void CaptureController::show(const Picture& picture)
{
    FrmMain* canvas = program_.frmMain();
    FrmToolbox* toolbox = program_.frmToolbox();
    if (!canvas || !toolbox)
        return;
    const bool window = kind_ == QLatin1String("window");
    if (!frozenShown_ && window) {
        canvas->setCanvasState(FrmMain::Normal);
        canvas->setCanvasGeometry(placement_);
    }
    canvas->setPicture(picture);
    program_.drawing.WindowCaptureMode = window;
    if (!frozenShown_ && !window)
        canvas->setCanvasState(FrmMain::Maximized);
    canvas->showCanvas();
    // The canvas draws the picture itself from now on.
    dropFrozen();
    showToolboxOverCanvas(program_);
    canvas->document().setHighlightArea(QSize(canvas->ScaleWidth(), canvas->ScaleHeight()));
    setState(State::Showing);
    qCInfo(lcCapture, "shown after %.3f ms", double(captureClock().nsecsElapsed()) / 1e6);
    runWaiting();
}

void CaptureController::showHideCanvas(const QString& action)
{
    if (busy()) {
        wait([this, action] { showHideCanvas(action); });
        return;
    }
    FrmMain* canvas = program_.frmMain();
    FrmToolbox* toolbox = program_.frmToolbox();
    if (!canvas || !toolbox)
        return;
    if (action == QLatin1String("hide")) {
        try {
            SnapshotCanvas(program_, 0);
        } catch (const ProgramError& e) {
            program_.platform().messages->Show(
                tr("The canvas could not be kept, so it stays on the screen.\n%1").arg(e.source()),
                mb::Exclamation, tr("Scrawlix"));
            showToolboxOverCanvas(program_);
            return;
        }
        program_.shell.SavedCanvasLeft = static_cast<float>(canvasLeft(*canvas));
        program_.shell.SavedCanvasTop = units::toInt16(canvasTop(*canvas));
        canvas->hide();
        toolbox->hide();
        setState(State::Kept);
    } else if (action == QLatin1String("show")) {
        canvas->setPicture(program_.picbox);
        canvas->setCanvasState(FrmMain::Normal);
        moveCanvasTo(*canvas, program_.shell.SavedCanvasLeft, program_.shell.SavedCanvasTop);
        program_.shell.SavedCanvasLeft = 1;
        program_.shell.SavedCanvasTop = 1;
        const Picture& pic = program_.picbox;
        sizeCanvas(*canvas, units::himetricToTwips(pic.Width()),
                   units::himetricToTwips(pic.Height()));
        canvas->showCanvas();
        showToolboxOverCanvas(program_);
        setState(State::Showing);
    }
}

void CaptureController::sendToTray()
{
    if (held()) {
        wait([this] { sendToTray(); });
        return;
    }
    // A capture under way is dropped: its picture, when it comes, is let go.
    if (capturing()) {
        program_.platform().grab->cancelSettle();
        ticket_ = 0;
        setState(State::Waiting);
    }
    FrmMain* canvas = program_.frmMain();
    if (!canvas)
        return;
    dropFrozen();
    canvas->hide();
    if (FrmToolbox* toolbox = program_.frmToolbox())
        toolbox->hide();
    canvas->entryBox()->hide();
    canvas->document().removeLabels();
    canvas->updateLabels();
    // Every way back to the canvas sets a picture first; the tray holds no screen in memory.
    canvas->releasePicture();
    program_.drawing.NextLabelIndex = 0;
    // A kept canvas stays kept.
    if (state_ != State::Kept)
        setState(State::Waiting);
    runWaiting();
}

void CaptureController::showingOpened()
{
    if (state_ != State::Kept)
        setState(State::Showing);
}

void CaptureController::abandon()
{
    if (capturing()) {
        program_.platform().grab->cancelSettle();
        ticket_ = 0;
        setState(State::Waiting);
    }
    dropFrozen();
    waiting_.clear();
}
