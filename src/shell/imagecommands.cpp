// Photographing the canvas, saving it as a BMP file, opening an image file onto the canvas, and
// printing the canvas.

#include "canvas/canvasplacement.h"
#include "canvas/frmmain.h"
#include "captureflow.h"
#include "commands.h"
#include "imaging/capture.h"
#include "imaging/fileio.h"
#include "imaging/printing.h"
#include "imaging/snapshot.h"
#include "platform/foregroundwindow.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "platform/screenpixels.h"
#include "platform/units.h"
#include "program.h"
#include "toolbox/frmtoolbox.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QPrinter>
#include <QTimer>
#include <QWindow>

namespace {

// How long the toolbox gets to leave the screen, and the canvas to be drawn again where it was and
// to become the foreground window: bounded, so a window manager that never answers cannot hang us.
constexpr int settleLimitMs = 400;

// Hides the toolbox and waits until it is off the screen, what it covered has been drawn again,
// and the canvas is the foreground window.
void settle(Program& program, FrmMain* canvas, FrmToolbox* toolbox)
{
    Platform& platform = program.platform();
    const QDeadlineTimer limit(settleLimitMs);
    canvas->activateWindow();
    QEventLoop loop;
    const QMetaObject::Connection done =
        QObject::connect(platform.grab.get(), &ScreenGrab::settled, &loop, &QEventLoop::quit);
    QList<QWindow*> vanishing;
    if (toolbox->isVisible() && toolbox->windowHandle())
        vanishing.append(toolbox->windowHandle());
    platform.grab->settle(vanishing, [toolbox] { toolbox->hide(); }, limit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(done);

    const QPointer<FrmMain> alive(canvas);
    const quintptr canvasId = static_cast<quintptr>(canvas->winId());
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!alive || limit.hasExpired() ||
            platform.foreground->GetForegroundWindow() == canvasId)
            loop.quit();
    });
    if (platform.foreground->GetForegroundWindow() != canvasId && !limit.hasExpired()) {
        poll.start();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace

void SnapshotCanvas(Program& program, int destination)
{
    FrmMain* canvas = program.frmMain();
    FrmToolbox* toolbox = program.frmToolbox();
    if (!canvas || !toolbox)
        return;
    // Requests (the hot key among them) wait until the snapshot is taken.
    const CaptureController::Hold hold(program.capture);
    // The canvas asks for the focus while the toolbox is still there: a window manager does not
    // hand it back to a window kept off the taskbar, and Qt's own request, made once the toolbox
    // is gone, carries a time that the X server then ignores.
    canvas->windowHandle()->requestActivate();
    const QPointer<FrmMain> alive(canvas);
    settle(program, canvas, toolbox);
    if (!alive)
        return;

    if (destination == 1)
        QApplication::clipboard()->clear();

    ForegroundWindow& fg = *program.platform().foreground;
    // The toolbox is hidden by now, so it cannot be in front; a window manager slow to pass the
    // focus on may still name it, and the canvas is then the window in front.
    const quintptr toolboxId = static_cast<quintptr>(toolbox->winId());
    const auto foreground = [&] {
        const quintptr id = fg.GetForegroundWindow();
        return id == toolboxId ? static_cast<quintptr>(canvas->winId()) : id;
    };
    const quintptr w = foreground();
    WindowRect r;
    const bool haveRect = fg.GetWindowRect(w, &r);
    canvas->activateWindow();
    const quintptr w2 = foreground();
    const std::optional<QRect> rect = haveRect ? snapshotRect(r) : std::nullopt;
    CapturedBitmap bitmap;
    if (rect && rect->width() > 0 && rect->height() > 0) {
        // A large screen takes a while to read; where the service allows, the reading is done
        // beside the event loop, and the user's input waits for it.
        ScreenPixels& screen = *program.platform().screen;
        const auto read = [&] {
            bitmap = screen.CaptureWindowRect(w2, false, rect->x(), rect->y(), rect->width(),
                                              rect->height());
        };
        if (screen.CapturesOnAnyThread())
            runBesideEvents(program, read);
        else
            read();
    }
    if (!alive)
        return;
    const Picture picture = CreateBitmapPicture(bitmap);
    if (picture.isNull()) {
        // The toolbox stays hidden, as after any failed snapshot.
        throw ProgramError(QCoreApplication::translate(
            "Messages", "The canvas could not be read from the screen."));
    }

    if (destination == 1)
        QApplication::clipboard()->setImage(picture.image());
    else
        program.picbox = picture;
    showToolboxOverCanvas(program);
}

void SaveImage(Program& program)
{
    if (program.capture.deferWhileBusy([&program] { SaveImage(program); }))
        return;
    QPointer<FrmMain> canvas = program.frmMain();
    if (!canvas)
        return;
    MessageBoxes& messages = *program.platform().messages;

    // The snapshot comes first, so the dialog is never in the picture.
    try {
        SnapshotCanvas(program, 0);
    } catch (const ProgramError& e) {
        messages.Show(QCoreApplication::translate("Messages", "The image could not be saved.\n%1")
                          .arg(e.source()),
                      mb::Exclamation, QCoreApplication::translate("Messages", "Scrawlix"));
        showToolboxOverCanvas(program);
        return;
    }
    if (!canvas)
        return;

    Cmdlg& dialog = program.cmdlg;
    dialog.DialogTitle = QCoreApplication::translate("Messages", "Save Image...");
    dialog.DefaultExt = QStringLiteral(".bmp");
    dialog.Filter = imageFileFilter();
    dialog.ShowSave();
    if (!canvas)
        return;
    const QString fileName = dialog.FileName;

    // Only BMP is written; a lower-case "png" name is warned about and still gets BMP data.
    if (fileName.endsWith(QLatin1String("png"), Qt::CaseSensitive))
        messages.Show(QCoreApplication::translate("Messages", "PNG ERROR!"), mb::OkOnly,
                      QCoreApplication::translate("Messages", "Scrawlix"));
    if (fileName.isEmpty() || !canvas)
        return;

    // Written beside the event loop: a large picture takes a while to convert and write.
    QString reason;
    bool saved = false;
    const QImage image = program.picbox.image();
    runBesideEvents(program, [&] { saved = writeBmpFile(image, fileName, &reason); });
    if (!saved)
        messages.Show(
            QCoreApplication::translate("Messages", "The image could not be saved as\n%1\n\n%2")
                .arg(shownPath(fileName), reason),
            mb::Exclamation, QCoreApplication::translate("Messages", "Scrawlix"));
}

void OpenImage(Program& program)
{
    if (program.capture.deferWhileBusy([&program] { OpenImage(program); }))
        return;
    QPointer<FrmMain> canvas = program.frmMain();
    if (!canvas)
        return;
    Cmdlg& dialog = program.cmdlg;
    // One dialog at a time: a request while one is shown brings that one to the front.
    if (dialog.showing()) {
        if (QWidget* shown = QApplication::activeModalWidget()) {
            shown->raise();
            shown->activateWindow();
        }
        return;
    }
    dialog.DialogTitle = QCoreApplication::translate("Messages", "Open Image...");
    dialog.DefaultExt = QStringLiteral(".bmp");
    dialog.Filter = imageFileFilter();
    dialog.ShowOpen();
    if (!canvas)
        return;
    const QString fileName = dialog.FileName;
    if (fileName.isEmpty())
        return;
    OpenImageFile(program, fileName);
}

void OpenImageFile(Program& program, const QString& fileName)
{
    if (program.capture.deferWhileBusy([&program, fileName] { OpenImageFile(program, fileName); }))
        return;
    QPointer<FrmMain> canvas = program.frmMain();
    if (!canvas)
        return;
    // The next dialog offers this file, as it does after an open through the dialog.
    program.cmdlg.FileName = fileName;

    // One open at a time: until this one is done, its message read included, every request, a
    // second open among them, waits its turn.
    const CaptureController::Hold hold(program.capture);
    // Read first: a file that cannot be read leaves the canvas, its picture and its drawing alone.
    // It is read and decoded on a worker, so that no file can stop the program. Meanwhile timers
    // and the window system go on.
    const LoadedImage loaded = readImageFileInBackground(fileName, program.openOptions, canvas);
    if (!canvas || loaded.cancelled)
        return;
    if (loaded.image.isNull()) {
        program.platform().messages->Show(
            QCoreApplication::translate("Messages",
                                        "The picture could not be opened from\n%1\n\n%2")
                .arg(shownPath(fileName), loaded.reason),
            mb::Exclamation, QCoreApplication::translate("Messages", "Scrawlix"));
        return;
    }

    // The canvas comes back in the normal state, in front, whether it was hidden, maximized over a
    // capture or normal. (Minimizing it first and restoring it at once, another way to bring a
    // window to the front, races with the X11 window manager, which may leave it minimized.)
    canvas->setCanvasState(FrmMain::Normal);
    const Picture picture = CreateBitmapPicture(CapturedBitmap{loaded.image, {}});
    canvas->setPicture(picture);
    moveCanvasToPixel(*canvas, primaryMonitorRect().topLeft()); // "left 0, top 0" of the screen
    sizeCanvas(*canvas, units::himetricToTwips(picture.Width()),
                         units::himetricToTwips(picture.Height()));
    canvas->showCanvas();
    // The highlighter's colour block covers the canvas, also before any capture sized it.
    CanvasDocument& document = canvas->document();
    document.setHighlightArea(
        document.highlightArea().expandedTo(QSize(canvas->ScaleWidth(), canvas->ScaleHeight())));
    program.capture.showingOpened();
    showToolboxOverCanvas(program);
}

void PrintImage(Program& program)
{
    if (program.capture.deferWhileBusy([&program] { PrintImage(program); }))
        return;
    QPointer<FrmMain> canvas = program.frmMain();
    if (!canvas)
        return;
    // Whatever goes wrong from here on ends the print without a word, except a missing printer.
    try {
        const std::unique_ptr<QPrinter> printer = chooseSystemPrinter();
        if (!printer) {
            program.platform().messages->Show(
                QCoreApplication::translate("Messages", "There is no available printer to use."),
                mb::Exclamation, QCoreApplication::translate("Messages", "Error"));
            return;
        }
        printer->setDocName(QStringLiteral("Scrawlix"));
        program.cmdlg.DialogTitle = QCoreApplication::translate("Messages", "Print Image...");
        // Printing goes ahead however the dialog was closed.
        program.cmdlg.ShowPrinter(printer.get());
        if (!canvas)
            return;
        SnapshotCanvas(program, 0);
        if (!canvas)
            return;
        QtPrinterSurface surface(*printer);
        PrintPictureToFitPage(surface, program.picbox);
        surface.EndDoc();
    } catch (const std::exception&) {
    }
}

