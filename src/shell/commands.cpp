#include "commands.h"

#include "canvas/frmmain.h"
#include "canvas/texttool.h"
#include "captureflow.h"
#include "platform/filenames.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "program.h"

#include <QCoreApplication>

void CopyCanvas(Program& program)
{
    if (program.capture.deferWhileBusy([&program] { CopyCanvas(program); }))
        return;
    try {
        SnapshotCanvas(program, 1);
    } catch (const ProgramError& e) {
        program.platform().messages->Show(
            QCoreApplication::translate("Messages",
                                        "The image could not be copied to the clipboard.\n%1")
                .arg(e.source()),
            mb::Exclamation, QCoreApplication::translate("Messages", "Scrawlix"));
        showToolboxOverCanvas(program);
    }
}

void EraseCanvas(Program& program)
{
    if (FrmMain* canvas = program.frmMain())
        ClearImage(*canvas);
}

void OpenImageOrFile(Program& program, const QString& file)
{
    if (file.isEmpty()) {
        OpenImage(program);
        return;
    }
    // A name that is not text arrives as a URL of its bytes, and is opened through a descriptor
    // held while the file is read.
    const QByteArray name = filenames::fromArgument(file);
    if (name.isEmpty() || name.size() > filenames::maxPathBytes())
        return;
    const filenames::HeldName held(name);
    OpenImageFile(program, held.name());
}
