// Start-up: stored, malformed, blank and hand-edited settings and an unusable settings file, the
// custom colour, an error while ending, and a windowing system without a backend.

#include "canvas/tools.h"
#include "platform/null/nullplatform.h"
#include "canvas/frmmain.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"
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
    void storedValues_data()
    {
        // Settings as "key=value" before the start; what the toolbox then shows: the size, the
        // colour, the tool's and the fill's pressed buttons. Whatever is stored stays in the file.
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("color");
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("fill");
        QTest::newRow("usable") << QStringList{"PenSize=100", "PenColor=16", "Tool=5", "Fill=2", "HotKey=k"}
                                << "100" << "Maroon" << 6 << 2;
        QTest::newRow("circle") << QStringList{"Tool=1"} << "25" << "Yellow" << 2 << 1;
        // Malformed: the default for this run.
        QTest::newRow("size text") << QStringList{"PenSize=abc"} << "25" << "Yellow" << 1 << 1;
        QTest::newRow("colour 21") << QStringList{"PenColor=21"} << "25" << "Yellow" << 1 << 1;
        QTest::newRow("font beyond list") << QStringList{"Font=99999"} << "25" << "Yellow" << 1 << 1;
        QTest::newRow("tool past the last") << QStringList{"Tool=" + QString::number(toolCount())} << "25" << "Yellow" << 1 << 1;
        QTest::newRow("fill 7") << QStringList{"Fill=7"} << "25" << "Yellow" << 1 << 1;
    }

    void storedValues()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, size);
        QFETCH(QString, color);
        QFETCH(int, tool);
        QFETCH(int, fill);
        StartedProgram t([&](SettingsStore& s) {
            for (const QString& kv : stored)
                s.save(kv.section('=', 0, 0), kv.section('=', 1));
        });
        FrmToolbox* tb = t->frmToolbox();
        QCOMPARE(named<ComboList>(tb, "cboSize")->currentText(), size);
        QCOMPARE(t->frmMain()->attributes().size, size.toInt());
        QCOMPARE(named<ComboList>(tb, "cboColor")->currentText(), color);
        QCOMPARE(named<ComboList>(tb, "cboTextFont")->currentIndex(), 0);
        QCOMPARE(named<ToolBar>(tb, "tlbr_mode")->pressedIndex(), tool);
        QCOMPARE(t->drawing.CurrentTool, std::int16_t(tool));
        QCOMPARE(named<ToolBar>(tb, "tlbr_filled")->pressedIndex(), fill);
        QCOMPARE(t->frmMain()->attributes().filled, fill == 2);
        // Even where the tool could fill, start-up ends with both fill buttons disabled.
        QVERIFY(!named<ToolBar>(tb, "tlbr_filled")->isButtonEnabled(1));
        QVERIFY(!named<ToolBar>(tb, "tlbr_filled")->isButtonEnabled(2));
        QVERIFY(!t->frmMain()->isVisible() && !tb->isVisible());
        for (const QString& kv : stored)
            QCOMPARE(t.reopenStore()->read(kv.section('=', 0, 0)), kv.section('=', 1));
    }

    void emptyKeyIsReseeded()
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

    void handEditsSurviveSeeding()
    {
        // Comments, other groups, a line that is no key, a list value, a value Qt cannot read and a
        // blank value; PenColor, Fill and HotKey are missing.
        const QByteArray edited = "; edited by hand\r\n[General]\r\nColour=blue\r\n\r\n"
                                  "[Settings]\r\n# sizes I like\r\nPenSize = 3, 4\r\nTool=@Invalid()\r\n"
                                  "CustomColor=\r\nthis line is no key\r\nFont=2\r\n\r\n[Other]\r\nx=1";
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

    void unusableSettingsFileIsLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: a pipe
    #if defined(Q_OS_UNIX)
        QTest::newRow("FIFO") << QByteArray();
    #endif
        QTest::newRow("UTF-16") << QByteArray("\xff\xfe[\0S\0e\0t\0t\0i\0n\0g\0s\0]\0\n\0", 24);
    }

    void unusableSettingsFileIsLeftAlone()
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

    void customColorAtStartupAsksForAColor()
    {
        TestProgram t([](SettingsStore& s) { s.save(setting.PenColor.key, QStringLiteral("20")); });
        t.fake->fakeDialogs->colorAnswers.push_back(QColor(1, 2, 3));
        t->start();
        QCOMPARE(t.fake->fakeDialogs->asked.size(), 1);
        QCOMPARE(t.fake->fakeDialogs->asked[0].title, QStringLiteral("Select Custom Color"));
        QCOMPARE(t->colorTable[20], QString::number(0x030201));
        QCOMPARE(named<ColorSwatch>(t->frmToolbox(), "shpColor")->fillColor(), QColor(1, 2, 3));
    }

    void exitErrorIsReportedAndProgramKeepsRunning()
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
        QStringList boxes;
        for (const auto& box : shown)
            boxes << box.text + '|' + box.title + '|' + QString::number(box.style);
        QCOMPARE(boxes, (QStringList{"An error has occurred.|Scrawlix|16", "frmMain|Scrawlix|0"}));
    }

    void unknownWindowingSystemRunsAndSaysWhatItCannotDo()
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
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
