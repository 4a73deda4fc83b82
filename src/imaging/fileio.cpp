// Saving, opening and printing images are still being built; each command says so plainly.

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

void SaveImage(Program& program) { notYet(program, "Saving"); }
void OpenImage(Program& program) { notYet(program, "Opening images"); }
void PrintImage(Program& program) { notYet(program, "Printing"); }
