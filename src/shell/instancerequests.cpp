#include "instancerequests.h"

#include "commandtable.h"
#include "platform/instancechannel.h"
#include "program.h"
#include "trayicon.h"

#include <QCoreApplication>

void SayAlreadyRunning(Program& program)
{
    program.trayNotice(
        QCoreApplication::translate("Messages", "Scrawlix is already running in the system tray."));
}

void RunInstanceRequest(Program& program, const InstanceRequest& request)
{
    if (!program.frmMain() || program.shell.IsExiting)
        return;
    if (const CommandRow* row = commandForAction(request.action))
        row->run(program, request.argument);
}
