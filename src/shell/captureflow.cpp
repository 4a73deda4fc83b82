#include "captureflow.h"

#include "canvas/canvasplacement.h"
#include "canvas/frmmain.h"
#include "canvas/textentry.h"
#include "canvas/texttool.h"
#include "commands.h"
#include "imaging/capture.h"
#include "platform/keystate.h"
#include "platform/platform.h"
#include "platform/units.h"
#include "program.h"
#include "settings/hotkeyletter.h"
#include "settings/settingsstore.h"
#include "settings/startupvalues.h"
#include "toolbox/frmtoolbox.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>
#include <QPointer>

#include <exception>
#include <thread>

// Timings of a capture, for the benchmarks; off unless QT_LOGGING_RULES turns them on.
Q_LOGGING_CATEGORY(lcCapture, "scrawlix.capture", QtWarningMsg)

void runBesideEvents(const std::function<void()>& work)
{
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so it lands even when the loop has not started yet.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the program quits; the work is still waited for.
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

void pumpEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void waitForNextSecond()
{
    const qint64 deadline = QDateTime::currentSecsSinceEpoch() + 1;
    while (deadline > QDateTime::currentSecsSinceEpoch()) {
        const qint64 left = deadline * 1000 - QDateTime::currentMSecsSinceEpoch();
        pumpEvents(static_cast<int>(qBound(qint64(1), left, qint64(1000))));
    }
}

void SetTopMost(Program& program, QWidget* window)
{
    if (window)
        program.platform().topMost->SetTopMost(window);
}

void ShowToolbox(Program& program)
{
    FrmToolbox* toolbox = program.frmToolbox();
    if (!toolbox)
        return;
    toolbox->show();
    toolbox->setWindowState(Qt::WindowNoState);
    toolbox->raise();
    toolbox->activateWindow();
}

void CaptureAndShow(Program& program, const QString& kind)
{
    FrmMain* canvas = program.frmMain();
    FrmToolbox* toolbox = program.frmToolbox();
    if (!canvas || !toolbox)
        return;

    // A hidden canvas with its drawing is being kept: bring it back instead.
    if (program.session.keepsCanvas()) {
        ShowHideCanvas(program, QStringLiteral("show"));
        return;
    }

    // A request that comes while a capture waits for the screen to settle joins that capture:
    // a second one would show the toolbox while the first is taking its picture.
    if (program.shell.Capturing)
        return;
    const QPointer<FrmMain> alive(canvas);
    QElapsedTimer phase;
    phase.start();
    qint64 hideMs = 0;
    {
        const CaptureInProgress inProgress(program.shell.Capturing);
        if (canvas->canvasState() == FrmMain::Maximized) {
            canvas->setCanvasState(FrmMain::Minimized);
            ClearImage(*canvas);
        }
        // Only hidden: the window manager would minimise the canvas with its transient toolbox.
        toolbox->hide();
        hideMs = phase.restart();

        // Let the windows vanish from the screen. Other requests may run meanwhile, and the
        // screen service may make the picture's memory and read the screen ahead.
        if (kind == QLatin1String("screen"))
            PrepareScreenCapture(*program.platform().screen);
        QElapsedTimer waited;
        waited.start();
        program.captureWait();
        qCInfo(lcCapture, "settle wait %.3f ms", double(waited.nsecsElapsed()) / 1e6);
        phase.restart();
    }
    if (!alive || program.shell.IsExiting)
        return;

    canvas->document().blankLabels();
    canvas->updateLabels();

    Platform& platform = program.platform();
    Picture picture;
    if (kind == QLatin1String("screen")) {
        picture = CaptureScreen(*platform.foreground, *platform.screen);
    } else if (kind == QLatin1String("window")) {
        const WindowCapture wc = CaptureActiveWindow(*platform.foreground, *platform.screen);
        if (wc.picture.isNull()) {
            // No active window, a rectangle that makes no sense, or nothing readable: the whole
            // screen is captured and shown instead.
            CaptureAndShow(program, QStringLiteral("screen"));
            return;
        }
        canvas->setCanvasState(FrmMain::Normal);
        canvas->setCanvasGeometry(wc.placement);
        picture = wc.picture;
    }
    if ((kind == QLatin1String("screen") || kind == QLatin1String("window")) && picture.isNull()) {
        program.platform().messages->Show(
            QStringLiteral("The screen could not be captured. Nothing was changed."),
            mb::Exclamation, QStringLiteral("Scrawlix"));
        return;
    }
    const qint64 captureMs = phase.restart();
    if (!picture.isNull())
        canvas->setPicture(picture);
    const qint64 pictureMs = phase.restart();

    program.drawing.WindowCaptureMode = false;
    if (kind == QLatin1String("window"))
        program.drawing.WindowCaptureMode = true;

    if (kind == QLatin1String("screen"))
        canvas->setCanvasState(FrmMain::Maximized);

    canvas->showCanvas();
    toolbox->show();
    toolbox->setWindowState(Qt::WindowNoState);

    canvas->raise();
    toolbox->raise();
    SetTopMost(program, toolbox);

    canvas->document().setHighlightArea(QSize(canvas->ScaleWidth(), canvas->ScaleHeight()));
    canvas->activateWindow();
    program.session.showing();
    qCInfo(lcCapture, "capture phases: hide %lld, capture %lld, picture %lld, show %lld ms",
           static_cast<long long>(hideMs), static_cast<long long>(captureMs),
           static_cast<long long>(pictureMs), static_cast<long long>(phase.elapsed()));
}

void ShowHideCanvas(Program& program, const QString& action)
{
    FrmMain* canvas = program.frmMain();
    FrmToolbox* toolbox = program.frmToolbox();
    if (!canvas || !toolbox)
        return;
    if (action == QLatin1String("hide")) {
        try {
            SnapshotCanvas(program, 0);
        } catch (const ProgramError& e) {
            program.platform().messages->Show(
                QStringLiteral("The canvas could not be kept, so it stays on the screen.\n") +
                    e.source(),
                mb::Exclamation, QStringLiteral("Scrawlix"));
            toolbox->show();
            return;
        }
        program.shell.SavedCanvasLeft = static_cast<float>(canvasLeft(*canvas));
        program.shell.SavedCanvasTop = units::toInt16(canvasTop(*canvas));
        canvas->hide();
        toolbox->hide();
        program.session.kept();
    } else if (action == QLatin1String("show")) {
        canvas->setPicture(program.picbox);
        canvas->setCanvasState(FrmMain::Normal);
        moveCanvasTo(*canvas, program.shell.SavedCanvasLeft, program.shell.SavedCanvasTop);
        program.shell.SavedCanvasLeft = 1;
        program.shell.SavedCanvasTop = 1;
        const Picture& pic = program.picbox;
        sizeCanvas(*canvas, units::himetricToTwips(pic.Width()),
                             units::himetricToTwips(pic.Height()));
        canvas->showCanvas();
        toolbox->show();
        toolbox->setWindowState(Qt::WindowNoState);
        SetTopMost(program, toolbox);
        program.session.shownAgain();
        canvas->activateWindow();
    }
}

void SendToTray(Program& program)
{
    FrmMain* canvas = program.frmMain();
    if (!canvas)
        return;
    canvas->hide();
    if (FrmToolbox* toolbox = program.frmToolbox())
        toolbox->hide();
    canvas->entryBox()->hide();
    canvas->document().removeLabels();
    canvas->updateLabels();
    // Every way back to the canvas sets a picture first; the tray holds no screen in memory.
    canvas->releasePicture();
    program.drawing.NextLabelIndex = 0;
    program.session.sentToTray();
}

void HotKeyPressed(Program& program, int dwKey, int dwShift)
{
    HotKeys& hotKeys = *program.platform().hotKeys;
    const QString letter = hotKeyLetterInEffect(hotKeys, program.settings().read(keys::HotKey));
    const quint32 code = hotKeyVirtualKey(hotKeys, letter);
    // An empty letter matches nothing.
    if (code == 0 || dwShift != 8 || static_cast<quint32>(dwKey) != code)
        return;
    const bool ctrl = program.platform().keys->GetAsyncKeyState(vk::Control) != 0;
    CaptureAndShow(program, ctrl ? QStringLiteral("window") : QStringLiteral("screen"));
}
