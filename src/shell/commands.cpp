#include "commands.h"

#include "imaging/snapshot.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "program.h"
#include "toolbox/frmtoolbox.h"

void CopyCanvas(Program& program)
{
    try {
        SnapshotCanvas(program, 1);
    } catch (const ProgramError& e) {
        program.platform().messages->Show(
            QStringLiteral("The image could not be copied to the clipboard.\n") + e.source(),
            mb::Exclamation, QStringLiteral("Scrawlix"));
        if (FrmToolbox* toolbox = program.frmToolbox())
            toolbox->show();
    }
}

void EraseCanvas(Program& program)
{
    ClearImage(program);
}

void menuOpen(Program& program)
{
    OpenImage(program);
}

void menuAbout(Program& program)
{
    ShowAbout(program);
}

void menuConfig(Program& program)
{
    ShowOptions(program);
}

void menuHelp(Program& program)
{
    ShowHelp(program);
}
