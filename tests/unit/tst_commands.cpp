// The commands as the user meets them: the tray menu's items, the toolbox's buttons, the command
// line's help and the requests of a later start all come from one table, and must stay as they
// were shown and named before.

#include "shell/commandline.h"
#include "shell/commandtable.h"
#include "shell/menuextender.h"
#include "shell/trayicon.h"
#include "testprogram.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QtTest>

#include <algorithm>

class TestCommands : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void trayMenu();
    void toolboxButtons();
    void commandLineHelp();
    void requestsFromOutside();
};

void TestCommands::trayMenu()
{
    StartedProgram t;
    // Each item as stored, its shown text and whether it has an icon; hidden ones in brackets.
    QStringList items;
    for (QAction* a : t->tray()->menu()->actions()) {
        QString item = storedCaption(a);
        if (!a->isSeparator())
            item += QStringLiteral(" = ") + a->text() +
                    (a->icon().isNull() ? QStringLiteral(", no icon") : QString());
        items << (a->isVisible() ? item : QLatin1Char('[') + item + QLatin1Char(']'));
    }
    const QStringList expected = {
        "Capture Screen|#getscreen = Capture Screen",
        "Capture Window|#getwin = Capture Window",
        "Show Toolbox|#toolbox = Show Toolbox",
        "Open|#open = Open",
        "-",
        "&About|#about = &About",
        "&Configuration|#config = &Configuration",
        "&Help|#help = &Help",
        "-",
        "Show|#show = Show",
        "[Hide|#hide = Hide]",
        "-",
        "Send to System Tray|#sendtotray = Send to System Tray",
        "E&xit|#exit = E&xit",
    };
    QCOMPARE(items, expected);

    // Show is offered only while Hide keeps a canvas.
    auto* show = t.canvas()->findChild<QAction*>(QStringLiteral("mnuShow"));
    QVERIFY(!show->isEnabled());
    capture(*t, QStringLiteral("screen"));
    ShowHideCanvas(*t, QStringLiteral("hide"));
    QVERIFY(show->isEnabled());
    show->trigger();
    QVERIFY(t.canvas()->isVisible());
    QVERIFY(!show->isEnabled());
}

void TestCommands::toolboxButtons()
{
    StartedProgram t;
    FrmToolbox* toolbox = t->loadToolbox();
    // The buttons in the order the keyboard focus visits them, reading order: name and tooltip.
    QStringList buttons;
    QWidget* w = toolbox;
    while ((w = w->nextInFocusChain()) != toolbox) {
        auto* b = qobject_cast<QToolButton*>(w);
        if (b && b->objectName().startsWith(QLatin1String("cmd"))) {
            buttons << b->objectName() + QStringLiteral(": ") + b->toolTip();
            QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
        }
    }
    const QStringList expected = {
        "cmdCopy: Copy Image to Clipboard",
        "cmdPrint: Print Image",
        "cmdSave: Save Image",
        "cmdLoad: Load Image",
        "cmdClear: Erase Image",
        "cmdCaptureScreen: Capture Entire Screen",
        "cmdCaptureWindow: Capture Active Window",
        "cmdAbout: About Scrawlix",
        "cmdOptions: Scrawlix Configuration",
        "cmdHelp: Help",
        "cmdHide: Hide",
        "cmdToTray: Minimize to Tray",
        "cmdExit: Exit Scrawlix",
    };
    QCOMPARE(buttons, expected);

    // A button runs its own command: Capture captures, Hide keeps the canvas, Exit ends.
    const int captures = t.fake->fakeScreen->captures;
    named<QToolButton>(toolbox, "cmdCaptureScreen")->click();
    QVERIFY(captureDone(*t));
    QCOMPARE(t.fake->fakeScreen->captures, captures + 1);
    QVERIFY(t.canvas()->isVisible());
    named<QToolButton>(toolbox, "cmdHide")->click();
    QVERIFY(t->capture.keepsCanvas());
    named<QToolButton>(toolbox, "cmdExit")->click();
    QVERIFY(t->shell.IsExiting);
}

void TestCommands::commandLineHelp()
{
    QCOMPARE(usageText(),
             QStringLiteral(
                 "Usage: scrawlix [ACTION | FILE]\n"
                 "\n"
                 "Scrawlix waits in the system tray. Press the Windows key + V, or double-click "
                 "the tray\n"
                 "icon, to freeze the screen into a canvas and draw on it. On a desktop without a "
                 "tray,\n"
                 "the actions below reach every item of the tray's menu.\n"
                 "\n"
                 "Started while Scrawlix runs, it hands the action to the running Scrawlix and "
                 "ends;\n"
                 "without an action it only has the running Scrawlix say that it is there. "
                 "Started with\n"
                 "an action while none runs, it starts Scrawlix and then runs the action.\n"
                 "\n"
                 "Actions (each does what the tray menu's item of the same name does):\n"
                 "  --capture-screen   capture the screen and show it on the canvas\n"
                 "  --capture-window   capture the active window and show it on the canvas\n"
                 "  --show-toolbox     show the toolbox\n"
                 "  --show             show the canvas that Hide has kept\n"
                 "  --open [FILE]      open an image file on the canvas; without FILE, ask for "
                 "one\n"
                 "  FILE               the same as --open FILE\n"
                 "  --about            show the About box\n"
                 "  --configuration    open the Configuration dialog\n"
                 "  --show-help        open the help\n"
                 "  --send-to-tray     hide the canvas and the toolbox, discarding the drawing\n"
                 "  --exit             end the running Scrawlix\n"
                 "\n"
                 "Options:\n"
                 "  -h, --help         print this help and end\n"
                 "  --version          print the version and end\n"));
}

void TestCommands::requestsFromOutside()
{
    // What the running program takes from a later start (and, named after them, on the bus).
    QStringList actions;
    for (const InstanceAction& a : instanceActions())
        actions << a.action + (a.takesFile ? QStringLiteral(" FILE") : QString());
    QCOMPARE(actions, QStringList({"activate", "capture-screen", "capture-window", "show-toolbox",
                                   "show", "open FILE", "about", "configuration", "show-help",
                                   "send-to-tray", "exit"}));

    // Every option of the help asks for a request that the running program takes.
    const QList<InstanceAction> taken = instanceActions();
    for (const QString& line : usageText().split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("  --")) || line.contains(QLatin1String("--help")) ||
            line.contains(QLatin1String("--version")))
            continue;
        const QByteArray option = line.mid(2).section(QLatin1Char(' '), 0, 0).toLatin1();
        const CommandLine c = parseCommandLine({option}, "/tmp");
        QVERIFY2(c.action, option.constData());
        QVERIFY2(std::any_of(taken.begin(), taken.end(),
                             [&](const InstanceAction& a) { return a.action == c.action->action; }),
                 option.constData());
    }
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
