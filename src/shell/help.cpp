// Help: the compiled help file, or its HTML pages, opened by the desktop's opener.

#include "about/helpfiles.h"
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
    // here, before a viewer would complain about it in its own words. A desktop with no viewer
    // for the compiled help gets its HTML pages in the web browser.
    ShellOpen& shell = *program.platform().shell;
    const QString file = program.helpFile;
    const auto openFile = [&shell](const QString& f) { return QFileInfo(f).isFile() && shell.Open(f); };
    const bool opened = !file.isEmpty() && (openFile(file) || openFile(helpPagesIndex(file)));
    if (!opened)
        program.platform().messages->Show(QStringLiteral("Help File unavailable."), mb::Critical,
                                           QStringLiteral("Help Error"));
}
