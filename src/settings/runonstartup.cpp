#include "runonstartup.h"

#include "platform/platform.h"
#include "shell/program.h"

#include <QCoreApplication>

static void tellCannotAccess(Program& program, StartupEntry::Result result)
{
    if (result == StartupEntry::Result::CannotAccess)
        program.platform().messages->Show(QStringLiteral("Error.  Cannot Access The Subkey."),
                                          mb::Critical, QStringLiteral("Error"));
}

void AddToStartup(Program& program)
{
    tellCannotAccess(program,
                     program.platform().startup->Add(QCoreApplication::applicationFilePath()));
}

void RemoveFromStartup(Program& program)
{
    tellCannotAccess(program, program.platform().startup->Remove());
}
