#include "snapshot.h"

#include "capture.h"
#include "platform/foregroundwindow.h"
#include "platform/platform.h"
#include "shell/captureflow.h"
#include "shell/frmmain.h"
#include "shell/program.h"
#include "toolbox/frmtoolbox.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPointer>
#include <limits>

std::optional<QRect> snapshotRect(const WindowRect& r)
{
    const qint64 w = qint64(r.right) - r.left - 2;
    const qint64 h = qint64(r.bottom) - r.top - 2;
    if (w > std::numeric_limits<qint32>::max() || h > std::numeric_limits<qint32>::max() ||
        w < std::numeric_limits<qint32>::min() || h < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return QRect(1, 1, static_cast<int>(w), static_cast<int>(h));
}

namespace {

// Waits until the toolbox is off the screen, the canvas has repainted what it covered, and the
// canvas is the foreground window; bounded, so a window manager that never answers cannot hang us.
void settle(Program& program, FrmMain* canvas)
{
    ForegroundWindow& fg = *program.platform().foreground;
    const quintptr canvasId = static_cast<quintptr>(canvas->winId());
    canvas->activateWindow();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 400) {
        pumpEvents(10);
        const bool ready = fg.GetForegroundWindow() == canvasId;
        if (ready && t.elapsed() >= 40)
            break;
    }
}

} // namespace

void SnapshotCanvas(Program& program, int destination)
{
    FrmMain* canvas = program.frmMain();
    FrmToolbox* toolbox = program.frmToolbox();
    if (!canvas || !toolbox)
        return;
    toolbox->hide();
    const QPointer<FrmMain> alive(canvas);
    settle(program, canvas);
    if (!alive)
        return;

    if (destination == 1)
        QApplication::clipboard()->clear();

    ForegroundWindow& fg = *program.platform().foreground;
    const quintptr w = fg.GetForegroundWindow();
    WindowRect r;
    const bool haveRect = fg.GetWindowRect(w, &r);
    canvas->activateWindow();
    const quintptr w2 = fg.GetForegroundWindow();
    const std::optional<QRect> rect = haveRect ? snapshotRect(r) : std::nullopt;
    Picture picture;
    if (rect && rect->width() > 0 && rect->height() > 0)
        picture = CaptureWindowRect(program, w2, false, rect->x(), rect->y(), rect->width(),
                                    rect->height());
    if (picture.isNull()) {
        // The toolbox stays hidden, as after any failed snapshot.
        throw ProgramError(QStringLiteral("The canvas could not be read from the screen."));
    }

    if (destination == 1)
        QApplication::clipboard()->setImage(picture.image());
    else
        canvas->picbox = picture;
    toolbox->show();
}

void ClearImage(Program& program)
{
    FrmMain* canvas = program.frmMain();
    if (!canvas)
        return;
    canvas->setPicture(canvas->picture());
    canvas->repaint();
    canvas->lblText.UnloadAll();
    program.drawing.NextLabelIndex = 0;
}
