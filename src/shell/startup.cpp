#include "startup.h"

#include "canvas/colortable.h"
#include "canvas/frmmain.h"
#include "hotkey.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "program.h"
#include "about/helpfiles.h"
#include "settings/hotkeyletter.h"
#include "settings/settingsstore.h"
#include "settings/settingtable.h"
#include "toolbox/frmtoolbox.h"
#include "toolselection.h"
#include "trayicon.h"
#include "ui/art.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>

namespace {

bool hasTray(Program& program)
{
    const Platform& platform = program.platform();
    return platform.hasSystemTray ? platform.hasSystemTray() : QSystemTrayIcon::isSystemTrayAvailable();
}

// Shows the message boxes of notices one after the other: a notice told while a box is open
// waits for it to close, rather than stacking a second box on the first.
void showNoticeBoxes(Program& program, const std::shared_ptr<QStringList>& boxes)
{
    while (!boxes->isEmpty()) {
        program.platform().messages->Show(boxes->first(), mb::Exclamation,
                                          QCoreApplication::translate("Messages", "Scrawlix"));
        boxes->removeFirst();
    }
}

void tellUser(Program& program, TrayIcon* tray, const QString& text, Notices::Weight weight,
              const std::shared_ptr<QStringList>& boxes)
{
    Platform& platform = program.platform();
    const bool desktop = platform.desktopNotifications && platform.desktopNotifications->available();
    switch (noticeWay(tray && tray->showsMessages(), desktop, weight)) {
    case NoticeWay::Tray:
        tray->notify(text);
        break;
    case NoticeWay::Desktop:
        platform.desktopNotifications->notify(QCoreApplication::translate("Messages", "Scrawlix"),
                                              text);
        break;
    case NoticeWay::MessageBox:
        boxes->append(text);
        // From the event loop: a notice may come from inside start-up or a D-Bus answer.
        if (boxes->size() == 1)
            QTimer::singleShot(0, program.frmMain(), [&program, boxes] { showNoticeBoxes(program, boxes); });
        break;
    case NoticeWay::LogOnly:
        break;
    }
}

// True the first time the program starts on a desktop without a tray, for this user; the mark
// stays in the program's data folder.
bool firstStartWithoutTray()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty())
        return true;
    const QString mark = dir + QStringLiteral("/told-no-tray");
    if (QFile::exists(mark))
        return false;
    QDir().mkpath(dir);
    QFile f(mark);
    if (f.open(QIODevice::WriteOnly))
        f.write("Scrawlix told once how to reach it without a tray.\n");
    return true;
}

QString noTrayText()
{
    return QCoreApplication::translate(
        "Messages",
        "This desktop shows no system tray, so Scrawlix has no icon there. It runs in the "
        "background: capture with its keyboard shortcut, or from Scrawlix in the applications "
        "menu, whose actions also offer Show, Configuration and Exit. On the command line, "
        "\"scrawlix --help\" lists every action.");
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
    // What the platform's services have to tell the user about this session goes to the tray,
    // or where the tray shows nothing, to the desktop's notifications; what matters goes to a
    // message box where even those are missing.
    program.platform().notices->setSink(
        [&program, t = QPointer<TrayIcon>(tray), boxes = std::make_shared<QStringList>()](
            const QString& text, Notices::Weight weight) { tellUser(program, t, text, weight, boxes); });
    if (!hasTray(program) && firstStartWithoutTray())
        program.platform().notices->tellOnce(QStringLiteral("no-tray"), noTrayText(),
                                             Notices::Weight::Important);

    InitColorTable(program.colorTable);

    const SettingTable& settings = settingTable();
    seedSettings(store, Seeding::BeforeDefaults);

    // Stored values that do not make sense fall back to the key's default; the store is left as
    // it is.
    toolbox->chooseSize(settings.PenSize.number(store) - 1);
    toolbox->chooseColor(settings.PenColor.number(store));
    toolbox->chooseFont(settings.Font.position(store, toolbox->fontCount()));

    const int tool = settings.Tool.number(store) + 1;
    SelectTool(program, static_cast<std::int16_t>(tool));
    toolbox->showTool(tool);

    // Button 1 (Outline) draws shapes outlined; button 2 (Solid) fills them.
    toolbox->showFill(settings.Fill.number(store));

    seedSettings(store, Seeding::BeforeHotKey);
    // A letter that no key types gives way to V for this run; the store keeps it.
    const QString stored = store.read(settings.HotKey.key);
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
