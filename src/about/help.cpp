// Help, About and the options dialog are still being built; each command says so plainly.

#include "platform/messagebox.h"
#include "platform/platform.h"
#include "shell/commands.h"
#include "shell/program.h"

static void notYet(Program& program, const char* what)
{
    program.platform().messages->Show(
        QStringLiteral("%1 is not available in this build yet.").arg(QLatin1String(what)),
        mb::Exclamation, QStringLiteral("Scrawlix"));
}

void ShowHelp(Program& program) { notYet(program, "Help"); }
void ShowAbout(Program& program) { notYet(program, "About"); }
void ShowAboutModeless(Program& program) { notYet(program, "About"); }
void ShowOptions(Program& program) { notYet(program, "Configuration"); }
