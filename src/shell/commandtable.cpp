#include "commandtable.h"

#include "capturecontroller.h"
#include "captureflow.h"
#include "commands.h"
#include "instancerequests.h"
#include "program.h"

namespace
{

// A routine that takes no argument, as a handler.
template <void (*Routine)(Program&)> void plain(Program& program, const QString&)
{
    Routine(program);
}

void captureScreen(Program& program, const QString&)
{
    CaptureAndShow(program, QStringLiteral("screen"));
}

void captureWindow(Program& program, const QString&)
{
    CaptureAndShow(program, QStringLiteral("window"));
}

// The menu offers Show only while Hide keeps a canvas; a request finds out the same way.
void showKeptCanvas(Program& program, const QString&)
{
    if (program.capture.keepsCanvas())
        ShowHideCanvas(program, QStringLiteral("show"));
}

void hideCanvas(Program& program, const QString&)
{
    ShowHideCanvas(program, QStringLiteral("hide"));
}

} // namespace

const QList<CommandRow>& commandTable()
{
    // Each row: the command, its icon, its menu item, its toolbox button, how it is asked for
    // from outside, and what it runs. {}: not there.
    static const QList<CommandRow> rows = {
        {Command::Activate, nullptr, {}, {}, {"activate"}, plain<SayAlreadyRunning>},
        {Command::CaptureScreen,
         "capturescreen",
         {"mnuCaptureScreen", "Capture Screen", "getscreen", MenuSection::Draw},
         {"cmdCaptureScreen", "Capture Entire Screen", 0, 4680},
         {"capture-screen", "capture the screen and show it on the canvas"},
         captureScreen},
        {Command::CaptureWindow,
         "capturewindow",
         {"mnuCaptureWindow", "Capture Window", "getwin", MenuSection::Draw},
         {"cmdCaptureWindow", "Capture Active Window", 360, 4680},
         {"capture-window", "capture the active window and show it on the canvas"},
         captureWindow},
        {Command::ShowToolbox,
         "toolbox",
         {"mnuToolbox", "Show Toolbox", "toolbox", MenuSection::Draw},
         {},
         {"show-toolbox", "show the toolbox"},
         plain<ShowToolbox>},
        {Command::Show,
         "show",
         {"mnuShow", "Show", "show", MenuSection::KeptCanvas, MenuState::WhileCanvasKept},
         {},
         {"show", "show the canvas that Hide has kept"},
         showKeptCanvas},
        {Command::Hide,
         "hide",
         {"mnuHide", "Hide", "hide", MenuSection::KeptCanvas, MenuState::Hidden},
         {"cmdHide", "Hide", 1080, 5040},
         {},
         hideCanvas},
        {Command::Open,
         "load",
         {"mnuOpen", "Open", "open", MenuSection::Draw},
         {"cmdLoad", "Load Image", 1080, 3960},
         {"open", "open an image file on the canvas; without FILE, ask for one", true},
         OpenImageOrFile},
        {Command::About,
         "about",
         {"mnuAbout", "&About", "about", MenuSection::Program},
         {},
         {"about", "show the About box"},
         plain<ShowAbout>},
        {Command::AboutFromToolbox,
         "about",
         {},
         {"cmdAbout", "About Scrawlix", 1080, 4680},
         {},
         plain<ShowAboutModeless>},
        {Command::Options,
         "options",
         {"mnuConfig", "&Configuration", "config", MenuSection::Program},
         {"cmdOptions", "Scrawlix Configuration", 1440, 4680},
         {"configuration", "open the Configuration dialog"},
         plain<ShowOptions>},
        {Command::Help,
         "help",
         {"mnuHelp", "&Help", "help", MenuSection::Program},
         {"cmdHelp", "Help", 1800, 4680},
         {"show-help", "open the help"},
         plain<ShowHelp>},
        {Command::SendToTray,
         "totray",
         {"mnuSendtoTray", "Send to System Tray", "sendtotray", MenuSection::Leave},
         {"cmdToTray", "Minimize to Tray", 1440, 5040},
         {"send-to-tray", "hide the canvas and the toolbox, discarding the drawing"},
         plain<SendToTray>},
        {Command::Exit,
         "exit",
         {"mnuExit", "E&xit", "exit", MenuSection::Leave},
         {"cmdExit", "Exit Scrawlix", 1800, 5040},
         {"exit", "end the running Scrawlix"},
         plain<ExitProgram>},
        {Command::Copy,
         "copy",
         {},
         {"cmdCopy", "Copy Image to Clipboard", 0, 3960},
         {},
         plain<CopyCanvas>},
        {Command::Print,
         "print",
         {},
         {"cmdPrint", "Print Image", 360, 3960},
         {},
         plain<PrintImage>},
        {Command::Save, "save", {}, {"cmdSave", "Save Image", 720, 3960}, {}, plain<SaveImage>},
        {Command::Erase,
         "erase",
         {},
         {"cmdClear", "Erase Image", 1440, 3960},
         {},
         plain<EraseCanvas>},
    };
    return rows;
}

const CommandRow& commandRow(Command id)
{
    for (const CommandRow& row : commandTable()) {
        if (row.id == id)
            return row;
    }
    qFatal("Command %d has no row", static_cast<int>(id));
}

const CommandRow* commandForAction(const QString& action)
{
    for (const CommandRow& row : commandTable()) {
        if (row.request.action && action == QLatin1String(row.request.action))
            return &row;
    }
    return nullptr;
}

void runCommand(Program& program, Command id, const QString& argument)
{
    commandRow(id).run(program, argument);
}

InstanceRequest requestFor(Command id, const QString& argument)
{
    return {QLatin1String(commandRow(id).request.action), argument};
}

QList<InstanceAction> instanceActions()
{
    QList<InstanceAction> actions;
    for (const CommandRow& row : commandTable()) {
        if (row.request.action)
            actions.append({QLatin1String(row.request.action), row.request.takesFile});
    }
    return actions;
}

QList<CommandButton> toolboxButtons()
{
    QList<CommandButton> buttons;
    for (const CommandRow& row : commandTable()) {
        if (row.button.name)
            buttons.append({static_cast<int>(row.id), row.button,
                            QStringLiteral("icons/") + QLatin1String(row.icon)});
    }
    return buttons;
}
