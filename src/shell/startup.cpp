#include "startup.h"

#include "canvas/colortable.h"
#include "canvas/frmmain.h"
#include "hotkey.h"
#include "platform/platform.h"
#include "program.h"
#include "about/helpfiles.h"
#include "settings/hotkeyletter.h"
#include "settings/settingsstore.h"
#include "settings/startupvalues.h"
#include "toolbox/frmtoolbox.h"
#include "toolselection.h"
#include "trayicon.h"
#include "ui/art.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

void seed(SettingsStore& store, const QString& key, const QString& value)
{
    if (store.read(key).isEmpty())
        store.save(key, value);
}

} // namespace

void runStartup(Program& program)
{
    SettingsStore& store = program.settings();
    FrmMain* canvas = program.frmMain();
    TrayIcon* tray = program.tray();

#if defined(Q_OS_WIN)
    const bool windows = true;
#else
    const bool windows = false;
#endif
    program.helpFile = findHelpFile(QCoreApplication::applicationDirPath(), windows);

    // The popup menu shows its items with their icons.
    program.menuExtender.AttachMenus(tray->menu(), tray->icons());

    // The menu serves only as the tray's popup menu; the canvas has no menu bar.

    // Load the toolbox; this fills its lists. It is not shown: start-up ends with it hidden
    // anyway, and showing it here would flash it on the screen.
    FrmToolbox* toolbox = program.loadToolbox();
    // Both belong to the tray icon: neither has a taskbar button.
    program.platform().taskbar->SkipTaskbar(canvas);
    program.platform().taskbar->SkipTaskbar(toolbox);

    tray->showIcon(artIcon(QStringLiteral("icons/scrawlix")));
    // What the platform's services have to tell the user about this session goes to the tray.
    program.platform().notices->setSink([t = QPointer<TrayIcon>(tray)](const QString& text) {
        if (t)
            t->notify(text);
    });

    InitColorTable(program.colorTable);

    seed(store, keys::PenSize, defaults::PenSize);
    seed(store, keys::PenColor, defaults::PenColor);
    seed(store, keys::Font, defaults::Font);
    seed(store, keys::Tool, defaults::Tool);
    seed(store, keys::Fill, defaults::Fill);

    // Stored values that do not make sense fall back to the key's default; the store is left as
    // it is.
    toolbox->chooseSize(storedPenSize(store.read(keys::PenSize)) - 1);
    toolbox->chooseColor(storedPenColor(store.read(keys::PenColor)));
    toolbox->chooseFont(storedFont(store.read(keys::Font), toolbox->fontCount()));

    const int tool = storedTool(store.read(keys::Tool)) + 1;
    SelectTool(program, static_cast<std::int16_t>(tool));
    toolbox->showTool(tool);

    // Button 1 (Outline) draws shapes outlined; button 2 (Solid) fills them.
    toolbox->showFill(storedFill(store.read(keys::Fill)));

    seed(store, keys::HotKey, defaults::HotKey);
    HookWindow(program, canvas);
    // A letter that no key types gives way to V for this run; the store keeps it.
    const QString stored = store.read(keys::HotKey);
    const QString letter = hotKeyLetterInEffect(*program.platform().hotKeys, stored);
    if (letter != stored)
        program.trayNotice(untypableLetterNotice(stored));
    RegisterHotKeyLetter(program, letter);

    canvas->hide();
    toolbox->hide();

    program.drawing.AnchorX = 1;
    program.drawing.AnchorY = 1;
    program.shell.SavedCanvasLeft = 1;
    program.shell.SavedCanvasTop = 1;

    SetFillButtonsEnabled(program, false);
    program.drawing.NextLabelIndex = 0;
    canvas->raise();
}
