#include "instancerequests.h"

#include "canvas/frmmain.h"
#include "captureflow.h"
#include "commands.h"
#include "platform/filenames.h"
#include "platform/instancechannel.h"
#include "program.h"
#include "trayicon.h"

void SayAlreadyRunning(Program& program)
{
    program.trayNotice(QStringLiteral("Scrawlix is already running in the system tray."));
}

void RunInstanceRequest(Program& program, const InstanceRequest& request)
{
    FrmMain* canvas = program.frmMain();
    if (!canvas || program.shell.IsExiting)
        return;
    const QString& action = request.action;
    if (action == QLatin1String("activate")) {
        SayAlreadyRunning(program);
    } else if (action == QLatin1String("capture-screen")) {
        CaptureAndShow(program, QStringLiteral("screen"));
    } else if (action == QLatin1String("capture-window")) {
        CaptureAndShow(program, QStringLiteral("window"));
    } else if (action == QLatin1String("show")) {
        // The menu offers Show only while Hide keeps a canvas.
        if (program.capture.keepsCanvas())
            ShowHideCanvas(program, QStringLiteral("show"));
    } else if (action == QLatin1String("open")) {
        if (request.argument.isEmpty()) {
            menuOpen(program);
            return;
        }
        // A name that is not text arrives as a URL of its bytes, and is opened through a
        // descriptor held while the file is read. One longer than the system takes names no file.
        const QByteArray file = filenames::fromArgument(request.argument);
        if (file.isEmpty() || file.size() > filenames::maxPathBytes())
            return;
        const filenames::HeldName held(file);
        OpenImageFile(program, held.name());
    } else if (action == QLatin1String("toolbox")) {
        ShowToolbox(program);
    } else if (action == QLatin1String("about")) {
        menuAbout(program);
    } else if (action == QLatin1String("configuration")) {
        menuConfig(program);
    } else if (action == QLatin1String("help")) {
        menuHelp(program);
    } else if (action == QLatin1String("send-to-tray")) {
        SendToTray(program);
    } else if (action == QLatin1String("exit")) {
        ExitProgram(program);
    }
}
