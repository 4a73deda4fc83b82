#pragma once

// The program's commands, one row each: how the tray menu, the toolbox's buttons, the command
// line, a later start and the session bus reach the command, and the routine it runs. The menu,
// the buttons, the options and the requests the running program takes are all made from the rows.

#include "platform/instancechannel.h"
#include "toolbox/commandbutton.h"

#include <QList>
#include <QString>

class Program;

enum class Command {
    Activate,
    CaptureScreen,
    CaptureWindow,
    ShowToolbox,
    Show,
    Hide,
    Open,
    About,
    AboutFromToolbox, // not modal
    Options,
    Help,
    SendToTray,
    Exit,
    Copy,
    Print,
    Save,
    Erase,
};

// The tray menu's sections, top to bottom, with a separator between two.
enum class MenuSection { Draw, Program, KeptCanvas, Leave };

// When a menu item can be chosen.
enum class MenuState {
    Enabled,
    WhileCanvasKept, // greyed out except while Hide keeps a canvas
    Hidden,          // never shown
};

struct MenuItem {
    const char* name = nullptr;    // "mnuCaptureScreen"; none: not in the menu
    const char* caption = nullptr; // "Capture Screen", "&" marking the access key
    // The item's icon in the menu's image list; the item keeps it in its stored caption
    // ("Capture Screen|#getscreen").
    const char* iconKey = nullptr;
    MenuSection section = MenuSection::Draw;
    MenuState state = MenuState::Enabled;
};

// How a command is asked for from outside: by a later start (its command line) and on the
// session bus.
struct RequestForm {
    // "capture-screen": the option --capture-screen, and CaptureScreen on the bus. None: not
    // asked for from outside.
    const char* action = nullptr;
    // The option's line in --help. None: no option; a plain later start asks for it.
    const char* help = nullptr;
    // The request names a file, or none to have the user choose one: --open FILE or --open=FILE
    // on the command line, Open(s) on the bus.
    bool takesFile = false;
};

// What a command runs. argument: the file a request names (filenames::toArgument), or empty.
using CommandHandler = void (*)(Program& program, const QString& argument);

struct CommandRow {
    Command id;
    const char* icon = nullptr; // art under icons/, of the menu item and the button alike
    MenuItem menu;
    ToolboxButton button;
    RequestForm request;
    CommandHandler run = nullptr;
};

// Every command, in the order of the command line's help and the bus's methods; within a section
// of the menu, in the menu's order.
const QList<CommandRow>& commandTable();
// A text of the table (a caption, a tooltip, an option's help) in the user's language.
QString commandText(const char* text);
const CommandRow& commandRow(Command id);
// The command a request asks for, or null.
const CommandRow* commandForAction(const QString& action);

// Runs the command, as its menu item, button or request does.
void runCommand(Program& program, Command id, const QString& argument = QString());

// The request of a command, with its file, if any.
InstanceRequest requestFor(Command id, const QString& argument = QString());
// The requests that a later start and the session bus may make.
QList<InstanceAction> instanceActions();
// The toolbox's command buttons; a click reports the Command as its number.
QList<CommandButton> toolboxButtons();
