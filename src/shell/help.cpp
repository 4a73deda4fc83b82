// Help: the compiled help file, or its HTML pages, opened by the desktop's opener.

#include "about/helpfiles.h"
#include "canvas/frmmain.h"
#include "captureflow.h"
#include "commands.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "program.h"

#include <QCoreApplication>
#include <QDir>
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
    const QString pages = file.isEmpty() ? QString() : helpPagesIndex(file);
    const bool opened = !file.isEmpty() && (openFile(file) || openFile(pages));
    if (opened)
        return;
    // With nothing to show them, the user can still read the pages, once told where they are.
    QString text = QCoreApplication::translate("Messages", "Help File unavailable.");
    if (QFileInfo(pages).isFile())
        text += QStringLiteral("\n\n") +
                QCoreApplication::translate("Messages",
                                            "The help pages can be read in a web browser:\n%1")
                    .arg(QDir::toNativeSeparators(pages));
    program.platform().messages->Show(text, mb::Critical,
                                      QCoreApplication::translate("Messages", "Help Error"));
}
