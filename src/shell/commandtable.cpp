#include "commandtable.h"

#include "capturecontroller.h"
#include "captureflow.h"
#include "commands.h"
#include "instancerequests.h"
#include "program.h"

#include <QCoreApplication>

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
    // from outside, and what it runs. {}: not there. The texts are in English, the source of
    // their translations; commandText() gives them as shown.
    static const QList<CommandRow> rows = {
        {Command::Activate, nullptr, {}, {}, {"activate"}, plain<SayAlreadyRunning>},
        {Command::CaptureScreen,
         "capturescreen",
         {"mnuCaptureScreen", QT_TRANSLATE_NOOP("Commands", "Capture Screen"), "getscreen",
          MenuSection::Draw},
         {"cmdCaptureScreen", QT_TRANSLATE_NOOP("Commands", "Capture Entire Screen"), 0, 4680},
         {"capture-screen",
          QT_TRANSLATE_NOOP("Commands", "capture the screen and show it on the canvas")},
         captureScreen},
        {Command::CaptureWindow,
         "capturewindow",
         {"mnuCaptureWindow", QT_TRANSLATE_NOOP("Commands", "Capture Window"), "getwin",
          MenuSection::Draw},
         {"cmdCaptureWindow", QT_TRANSLATE_NOOP("Commands", "Capture Active Window"), 360, 4680},
         {"capture-window",
          QT_TRANSLATE_NOOP("Commands", "capture the active window and show it on the canvas")},
         captureWindow},
        {Command::ShowToolbox,
         "toolbox",
         {"mnuToolbox", QT_TRANSLATE_NOOP("Commands", "Show Toolbox"), "toolbox",
          MenuSection::Draw},
         {},
         {"show-toolbox", QT_TRANSLATE_NOOP("Commands", "show the toolbox")},
         plain<ShowToolbox>},
        {Command::Show,
         "show",
         {"mnuShow", QT_TRANSLATE_NOOP("Commands", "Show"), "show", MenuSection::KeptCanvas,
          MenuState::WhileCanvasKept},
         {},
         {"show", QT_TRANSLATE_NOOP("Commands", "show the canvas that Hide has kept")},
         showKeptCanvas},
        {Command::Hide,
         "hide",
         {"mnuHide", QT_TRANSLATE_NOOP("Commands", "Hide"), "hide", MenuSection::KeptCanvas,
          MenuState::Hidden},
         {"cmdHide", QT_TRANSLATE_NOOP("Commands", "Hide"), 1080, 5040},
         {},
         hideCanvas},
        {Command::Open,
         "load",
         {"mnuOpen", QT_TRANSLATE_NOOP("Commands", "Open"), "open", MenuSection::Draw},
         {"cmdLoad", QT_TRANSLATE_NOOP("Commands", "Load Image"), 1080, 3960},
         {"open",
          QT_TRANSLATE_NOOP("Commands",
                            "open an image file on the canvas; without FILE, ask for one"),
          true},
         OpenImageOrFile},
        {Command::About,
         "about",
         {"mnuAbout", QT_TRANSLATE_NOOP("Commands", "&About"), "about", MenuSection::Program},
         {},
         {"about", QT_TRANSLATE_NOOP("Commands", "show the About box")},
         plain<ShowAbout>},
        {Command::AboutFromToolbox,
         "about",
         {},
         {"cmdAbout", QT_TRANSLATE_NOOP("Commands", "About Scrawlix"), 1080, 4680},
         {},
         plain<ShowAboutModeless>},
        {Command::Options,
         "options",
         {"mnuConfig", QT_TRANSLATE_NOOP("Commands", "&Configuration"), "config",
          MenuSection::Program},
         {"cmdOptions", QT_TRANSLATE_NOOP("Commands", "Scrawlix Configuration"), 1440, 4680},
         {"configuration", QT_TRANSLATE_NOOP("Commands", "open the Configuration dialog")},
         plain<ShowOptions>},
        {Command::Help,
         "help",
         {"mnuHelp", QT_TRANSLATE_NOOP("Commands", "&Help"), "help", MenuSection::Program},
         {"cmdHelp", QT_TRANSLATE_NOOP("Commands", "Help"), 1800, 4680},
         {"show-help", QT_TRANSLATE_NOOP("Commands", "open the help")},
         plain<ShowHelp>},
        {Command::SendToTray,
         "totray",
         {"mnuSendtoTray", QT_TRANSLATE_NOOP("Commands", "Send to System Tray"), "sendtotray",
          MenuSection::Leave},
         {"cmdToTray", QT_TRANSLATE_NOOP("Commands", "Minimize to Tray"), 1440, 5040},
         {"send-to-tray",
          QT_TRANSLATE_NOOP("Commands", "hide the canvas and the toolbox, discarding the drawing")},
         plain<SendToTray>},
        {Command::Exit,
         "exit",
         {"mnuExit", QT_TRANSLATE_NOOP("Commands", "E&xit"), "exit", MenuSection::Leave},
         {"cmdExit", QT_TRANSLATE_NOOP("Commands", "Exit Scrawlix"), 1800, 5040},
         {"exit", QT_TRANSLATE_NOOP("Commands", "end the running Scrawlix")},
         plain<ExitProgram>},
        {Command::Copy,
         "copy",
         {},
         {"cmdCopy", QT_TRANSLATE_NOOP("Commands", "Copy Image to Clipboard"), 0, 3960},
         {},
         plain<CopyCanvas>},
        {Command::Print,
         "print",
         {},
         {"cmdPrint", QT_TRANSLATE_NOOP("Commands", "Print Image"), 360, 3960},
         {},
         plain<PrintImage>},
        {Command::Save,
         "save",
         {},
         {"cmdSave", QT_TRANSLATE_NOOP("Commands", "Save Image"), 720, 3960},
         {},
         plain<SaveImage>},
        {Command::Erase,
         "erase",
         {},
         {"cmdClear", QT_TRANSLATE_NOOP("Commands", "Erase Image"), 1440, 3960},
         {},
         plain<EraseCanvas>},
    };
    return rows;
}

QString commandText(const char* text)
{
    return QCoreApplication::translate("Commands", text);
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
                            QStringLiteral("icons/") + QLatin1String(row.icon),
                            commandText(row.button.tip)});
    }
    return buttons;
}
