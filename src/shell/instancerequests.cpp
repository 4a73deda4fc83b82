#include "instancerequests.h"

#include "canvas/frmmain.h"
#include "captureflow.h"
#include "commands.h"
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
        if (request.argument.isEmpty())
            menuOpen(program);
        else
            OpenImageFile(program, request.argument);
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
