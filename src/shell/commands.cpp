#include "commands.h"

#include "canvas/frmmain.h"
#include "canvas/texttool.h"
#include "captureflow.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "program.h"
#include "toolbox/frmtoolbox.h"

void CopyCanvas(Program& program)
{
    if (program.capture.deferWhileBusy([&program] { CopyCanvas(program); }))
        return;
    try {
        SnapshotCanvas(program, 1);
    } catch (const ProgramError& e) {
        program.platform().messages->Show(
            QStringLiteral("The image could not be copied to the clipboard.\n") + e.source(),
            mb::Exclamation, QStringLiteral("Scrawlix"));
        showToolboxOverCanvas(program);
    }
}

void EraseCanvas(Program& program)
{
    if (FrmMain* canvas = program.frmMain())
        ClearImage(*canvas);
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

void runToolboxCommand(Program& program, ToolboxCommand command)
{
    switch (command) {
    case ToolboxCommand::Copy:
        CopyCanvas(program);
        break;
    case ToolboxCommand::Print:
        PrintImage(program);
        break;
    case ToolboxCommand::Save:
        SaveImage(program);
        break;
    case ToolboxCommand::Load:
        OpenImage(program);
        break;
    case ToolboxCommand::Clear:
        EraseCanvas(program);
        break;
    case ToolboxCommand::CaptureScreen:
        CaptureAndShow(program, QStringLiteral("screen"));
        break;
    case ToolboxCommand::CaptureWindow:
        CaptureAndShow(program, QStringLiteral("window"));
        break;
    case ToolboxCommand::About:
        ShowAboutModeless(program);
        break;
    case ToolboxCommand::Options:
        ShowOptions(program);
        break;
    case ToolboxCommand::Help:
        ShowHelp(program);
        break;
    case ToolboxCommand::Hide:
        ShowHideCanvas(program, QStringLiteral("hide"));
        break;
    case ToolboxCommand::ToTray:
        SendToTray(program);
        break;
    case ToolboxCommand::Exit:
        ExitProgram(program);
        break;
    }
}
