// Start-up, settings seeding, the toolbox's state afterwards, and shutdown.

#include "canvas/tools.h"
#include "platform/null/nullplatform.h"
#include "canvas/frmmain.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"
#include "settings/lists.h"
#include "ui/widgets.h"

#include <QMessageBox>
#include <QtTest>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void emptyStoreSeedsDefaultsAndSettlesHidden();
    void storedValuesAreApplied();
    void fillButtonsDisabledWhateverTool();
    void malformedValuesFallBackWithoutRewriting_data();
    void malformedValuesFallBackWithoutRewriting();
    void emptyKeyIsReseeded();
    void handEditsSurviveSeeding();
    void unusableSettingsFileIsLeftAlone_data();
    void unusableSettingsFileIsLeftAlone();
    void customColorAtStartupAsksForAColor();
    void exitUnloadsToolboxThenCanvasAndEnds();
    void exitErrorIsReportedAndProgramKeepsRunning();
    void unknownWindowingSystemRunsAndSaysWhatItCannotDo();
};

void TestStartup::emptyStoreSeedsDefaultsAndSettlesHidden()
{
    StartedProgram t;

    // The six seeded keys, in the order in which start-up handles them.
    QFile f(t.settingsPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(),
             QByteArray("[Settings]\nPenSize=25\nPenColor=8\nFont=0\nTool=0\nFill=1\nHotKey=V\n"));

    FrmToolbox* tb = t->frmToolbox();
    QCOMPARE(named<ComboList>(tb, "cboSize")->currentText(), QStringLiteral("25"));
    QCOMPARE(t->frmMain()->attributes().size, 25);
    QCOMPARE(named<ComboList>(tb, "cboColor")->currentText(), QStringLiteral("Yellow"));
    QCOMPARE(named<ColorSwatch>(tb, "shpColor")->fillColor(), QColor(255, 255, 0));
    QCOMPARE(named<ComboList>(tb, "cboTextFont")->currentIndex(), 0);
    QCOMPARE(named<ComboList>(tb, "cboTextFont")->currentText(), screenFontNames().value(0));
    QCOMPARE(named<ToolBar>(tb, "tlbr_mode")->pressedIndex(), 1);
    QCOMPARE(named<ToolBar>(tb, "tlbr_filled")->pressedIndex(), 1);
    QCOMPARE(t->frmMain()->attributes().filled, false);
    QCOMPARE(t->drawing.CurrentTool, std::int16_t(ToolPen));
    QCOMPARE(t->drawing.AnchorX, 1.0f);
    QCOMPARE(t->drawing.NextLabelIndex, std::int16_t(0));
    QVERIFY(!t->frmMain()->isVisible());
    QVERIFY(!tb->isVisible());
    QVERIFY(t.fake->fakeDialogs->asked.isEmpty());
}

void TestStartup::storedValuesAreApplied()
{
    StartedProgram t([](SettingsStore& s) {
        s.save(setting.PenSize.key, QStringLiteral("100"));
        s.save(setting.PenColor.key, QStringLiteral("16"));
        s.save(setting.Tool.key, QStringLiteral("5"));
        s.save(setting.Fill.key, QStringLiteral("2"));
        s.save(setting.HotKey.key, QStringLiteral("k"));
    });
    FrmToolbox* tb = t->frmToolbox();
    QCOMPARE(named<ComboList>(tb, "cboSize")->currentText(), QStringLiteral("100"));
    QCOMPARE(named<ComboList>(tb, "cboColor")->currentText(), QStringLiteral("Maroon"));
    QCOMPARE(named<ColorSwatch>(tb, "shpColor")->fillColor(), QColor(128, 0, 128));
    QCOMPARE(t->drawing.CurrentTool, std::int16_t(ToolHighlighter));
    QCOMPARE(named<ToolBar>(tb, "tlbr_mode")->pressedIndex(), 6);
    QCOMPARE(named<ToolBar>(tb, "tlbr_filled")->pressedIndex(), 2);
    QCOMPARE(t->frmMain()->attributes().filled, true);
    QCOMPARE(t.reopenStore()->read(setting.HotKey.key), QStringLiteral("k"));
}

void TestStartup::fillButtonsDisabledWhateverTool()
{
    // Circle allows filling, yet start-up ends with both fill buttons disabled.
    StartedProgram t([](SettingsStore& s) { s.save(setting.Tool.key, QStringLiteral("1")); });
    QCOMPARE(t->drawing.CurrentTool, std::int16_t(ToolCircle));
    QVERIFY(!named<ToolBar>(t->frmToolbox(), "tlbr_filled")->isButtonEnabled(1));
    QVERIFY(!named<ToolBar>(t->frmToolbox(), "tlbr_filled")->isButtonEnabled(2));
}

void TestStartup::malformedValuesFallBackWithoutRewriting_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("size text") << setting.PenSize.key << "abc";
    QTest::newRow("colour 21") << setting.PenColor.key << "21";
    QTest::newRow("font beyond list") << setting.Font.key << "99999";
    QTest::newRow("tool past the last") << setting.Tool.key << QString::number(toolCount());
    QTest::newRow("fill 7") << setting.Fill.key << "7";
}

void TestStartup::malformedValuesFallBackWithoutRewriting()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    StartedProgram t([&](SettingsStore& s) { s.save(key, value); });
    FrmToolbox* tb = t->frmToolbox();
    QCOMPARE(named<ComboList>(tb, "cboSize")->currentText(), QStringLiteral("25"));
    QCOMPARE(named<ComboList>(tb, "cboColor")->currentText(), QStringLiteral("Yellow"));
    QCOMPARE(named<ComboList>(tb, "cboTextFont")->currentIndex(), 0);
    QCOMPARE(named<ToolBar>(tb, "tlbr_mode")->pressedIndex(), 1);
    QCOMPARE(named<ToolBar>(tb, "tlbr_filled")->pressedIndex(), 1);
    QCOMPARE(t->frmMain()->attributes().filled, false);
    QCOMPARE(t.reopenStore()->read(key), value);
    QVERIFY(!t->frmMain()->isVisible());
}

void TestStartup::emptyKeyIsReseeded()
{
    StartedProgram t([](SettingsStore& s) {
        s.save(setting.PenSize.key, QString());
        s.save(setting.PenColor.key, QStringLiteral("3"));
    });
    auto store = t.reopenStore();
    QCOMPARE(store->read(setting.PenSize.key), QStringLiteral("25"));
    QCOMPARE(store->read(setting.PenColor.key), QStringLiteral("3"));
    QCOMPARE(store->read(setting.CustomColor.key), QString());
    QCOMPARE(store->read(setting.RunOnStartup.key), QString());
}

void TestStartup::handEditsSurviveSeeding()
{
    // Comments, other groups, a line that is no key, a list value, a value Qt cannot read and a
    // blank value; PenColor, Fill and HotKey are missing.
    const QByteArray edited = "; edited by hand\r\n"
                              "[General]\r\n"
                              "Colour=blue\r\n"
                              "\r\n"
                              "[Settings]\r\n"
                              "# sizes I like\r\n"
                              "PenSize = 3, 4\r\n"
                              "Tool=@Invalid()\r\n"
                              "CustomColor=\r\n"
                              "this line is no key\r\n"
                              "Font=2\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "x=1";
    TestProgram t;
    QVERIFY(writeFile(t.settingsPath(), edited));
    t->start();
    QFile f(t.settingsPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray after = f.readAll();
    // The seeded keys went into the group, and nothing else changed.
    const QList<QByteArray> added = {"PenColor=8\r\n", "Fill=1\r\n", "HotKey=V\r\n"};
    for (const QByteArray& line : added) {
        const qsizetype at = after.indexOf(line);
        QVERIFY2(at > after.indexOf("[Settings]") && at < after.indexOf("[Other]"), after.constData());
        after.remove(at, line.size());
    }
    QCOMPARE(after, edited);
    // Values the program cannot use fall back for this run and stay in the file.
    FrmToolbox* tb = t->frmToolbox();
    QCOMPARE(named<ComboList>(tb, "cboSize")->currentText(), QStringLiteral("25"));
    QCOMPARE(named<ToolBar>(tb, "tlbr_mode")->pressedIndex(), 1);
    QCOMPARE(t.reopenStore()->read(setting.PenSize.key), QStringLiteral("3, 4"));
    QCOMPARE(t.reopenStore()->read(setting.Font.key), QStringLiteral("2"));
}

void TestStartup::unusableSettingsFileIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("content"); // null: a pipe
#if defined(Q_OS_UNIX)
    QTest::newRow("FIFO") << QByteArray();
#endif
    QTest::newRow("UTF-16") << QByteArray("\xff\xfe[\0S\0e\0t\0t\0i\0n\0g\0s\0]\0\n\0", 24);
}

void TestStartup::unusableSettingsFileIsLeftAlone()
{
    QFETCH(QByteArray, content);
    TestProgram t;
    const QByteArray file = QFile::encodeName(t.settingsPath());
#if defined(Q_OS_UNIX)
    if (content.isNull()) {
        QVERIFY(mkfifo(file.constData(), 0600) == 0);
    } else {
        QVERIFY(writeFile(t.settingsPath(), content));
    }
    // A start-up that blocks on the file ends the test here.
    alarm(20);
    t->start();
    alarm(0);
#else
    Q_UNUSED(file)
    QVERIFY(writeFile(t.settingsPath(), content));
    t->start();
#endif
    FrmToolbox* tb = t->frmToolbox();
    QCOMPARE(named<ComboList>(tb, "cboSize")->currentText(), QStringLiteral("25"));
    QCOMPARE(named<ComboList>(tb, "cboColor")->currentText(), QStringLiteral("Yellow"));
    QCOMPARE(t.fake->fakeHotKeys->registrations.size(), 1);
#if defined(Q_OS_UNIX)
    struct stat st {};
    QVERIFY(stat(file.constData(), &st) == 0);
    if (content.isNull()) {
        QVERIFY(S_ISFIFO(st.st_mode));
    } else
#endif
    {
        QFile f(t.settingsPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
    }
}

void TestStartup::customColorAtStartupAsksForAColor()
{
    TestProgram t([](SettingsStore& s) { s.save(setting.PenColor.key, QStringLiteral("20")); });
    t.fake->fakeDialogs->colorAnswers.push_back(QColor(1, 2, 3));
    t->start();
    QCOMPARE(t.fake->fakeDialogs->asked.size(), 1);
    QCOMPARE(t.fake->fakeDialogs->asked[0].title, QStringLiteral("Select Custom Color"));
    QCOMPARE(t->colorTable[20], QString::number(0x030201));
    QCOMPARE(named<ColorSwatch>(t->frmToolbox(), "shpColor")->fillColor(), QColor(1, 2, 3));
}

void TestStartup::exitUnloadsToolboxThenCanvasAndEnds()
{
    StartedProgram t;
    QStringList order;
    int ends = 0;
    t->beforeUnload = [&](const QString& name) { order << name; };
    t->endProgram = [&] { ++ends; };
    ExitProgram(*t);
    QCOMPARE(order, QStringList({"frmToolbox", "frmMain"}));
    QVERIFY(t->shell.IsExiting);
    QVERIFY(t->loadedForms().isEmpty());
    QCOMPARE(ends, 1);
    QVERIFY(t.fake->fakeMessages->shown.isEmpty());
}

void TestStartup::exitErrorIsReportedAndProgramKeepsRunning()
{
    StartedProgram t;
    int ends = 0;
    t->endProgram = [&] { ++ends; };
    t->beforeUnload = [](const QString& name) {
        if (name == QLatin1String("frmMain"))
            throw ProgramError(QStringLiteral("frmMain"));
    };
    ExitProgram(*t);
    QCOMPARE(ends, 0);
    QVERIFY(t->shell.IsExiting);
    QVERIFY(!IsFormLoaded(*t, QStringLiteral("frmToolbox")));
    QVERIFY(IsFormLoaded(*t, QStringLiteral("frmMain")));
    const auto& shown = t.fake->fakeMessages->shown;
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].text, QStringLiteral("An error has occurred."));
    QCOMPARE(shown[0].style, 16);
    QCOMPARE(shown[0].title, QStringLiteral("Scrawlix"));
    QCOMPARE(shown[1].text, QStringLiteral("frmMain"));
    QCOMPARE(shown[1].style, 0);
    QCOMPARE(shown[1].title, QStringLiteral("Scrawlix"));
}

QTEST_MAIN(TestStartup)
void TestStartup::unknownWindowingSystemRunsAndSaysWhatItCannotDo()
{
    // This very platform (offscreen) has no backend of its own: the program starts on the null
    // platform, tells once what it cannot do, and a capture fails with a message, not a crash.
    QTemporaryDir dir;
    std::unique_ptr<Platform> platform = createPlatform(QGuiApplication::platformName());
    QCOMPARE(platform->name, QStringLiteral("none"));
    QStringList told;
    platform->notices->setSink([&](const QString& text, Notices::Weight) { told << text; });
    QCOMPARE(told, QStringList{nullPlatformNotice(QGuiApplication::platformName())});
    QVERIFY(told[0].contains(QLatin1String("cannot read the screen")));
    Program program(std::move(platform), SettingsStore::atFile(dir.filePath("Scrawlix.conf")));
    program.endProgram = [] {};
    program.trayNotice = [&](const QString& text) { told << text; };
    // The hot key and the capture fail with modal boxes: a timer answers them, as a user would click OK.
    QStringList boxes;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* m = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << m->text();
            m->accept();
        }
    });
    answer.start(20);
    program.start();
    // At least the hot key could not be registered; where Qt sees no tray either (Windows
    // offscreen), that is told in a box of its own.
    QVERIFY(!boxes.isEmpty());
    boxes.clear();
    CaptureAndShow(program, QStringLiteral("screen"));
    QTRY_COMPARE(boxes.size(), 1);
    // The capture's failure is told with the reason the platform gives.
    QVERIFY2(boxes[0].startsWith(QStringLiteral("The screen could not be captured. Nothing was changed.")),
             qPrintable(boxes[0]));
    QVERIFY(!program.frmMain()->isVisible());
}

#include "tst_startup.moc"
