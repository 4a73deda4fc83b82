// Commands whose windows and file handling are still being built. Each says so plainly.

#include "commands.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "program.h"

static void notYet(Program& program, const char* what)
{
    program.platform().messages->Show(QStringLiteral("%1 is not available in this build yet.")
                                          .arg(QLatin1String(what)),
                                      mb::Exclamation, QStringLiteral("Scrawlix"));
}

void SaveImage(Program& program) { notYet(program, "Saving"); }
void OpenImage(Program& program) { notYet(program, "Opening images"); }
void PrintImage(Program& program) { notYet(program, "Printing"); }
void ShowHelp(Program& program) { notYet(program, "Help"); }
void ShowAbout(Program& program) { notYet(program, "About"); }
void ShowAboutModeless(Program& program) { notYet(program, "About"); }
void ShowOptions(Program& program) { notYet(program, "Configuration"); }
