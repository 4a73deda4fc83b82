// Help: the compiled help file beside the program, opened by the desktop's opener.

#include "canvas/frmmain.h"
#include "captureflow.h"
#include "commands.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "program.h"

#include <QFileInfo>

void ShowHelp(Program& program)
{
    if (FrmMain* canvas = program.frmMain(); canvas && canvas->isVisible())
        ShowHideCanvas(program, QStringLiteral("hide"));

    // The opener reports only whether it could be started; a file that is not there is caught
    // here, before a viewer would complain about it in its own words.
    const QString file = program.helpFile;
    const bool opened = !file.isEmpty() && QFileInfo(file).isFile() &&
                        program.platform().shell->Open(file);
    if (!opened)
        program.platform().messages->Show(QStringLiteral("Help File unavailable."), mb::Critical,
                                           QStringLiteral("Help Error"));
}
