// The command line written to the Run key for the running program.

#include "platform/win32/runkeypath.h"

#include <QTest>

class TestRunKeyPath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data();
    void commandLine();
};

void TestRunKeyPath::commandLine_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QStringLiteral("C:\\Tools\\Scrawlix.exe")
                           << QStringLiteral("C:\\Tools\\Scrawlix.exe");
    QTest::newRow("extension case") << QStringLiteral("C:\\Tools\\Sketch.EXE")
                                    << QStringLiteral("C:\\Tools\\Sketch.exe");
    QTest::newRow("spaces stay unquoted")
        << QStringLiteral("C:\\Program Files\\My Tools\\Scrawlix.exe")
        << QStringLiteral("C:\\Program Files\\My Tools\\Scrawlix.exe");
    QTest::newRow("root folder") << QStringLiteral("C:\\Scrawlix.exe")
                                 << QStringLiteral("C:\\Scrawlix.exe");
    QTest::newRow("dots in the name") << QStringLiteral("D:\\Apps\\my.tool.exe")
                                      << QStringLiteral("D:\\Apps\\my.tool.exe");
    // The extension is looked for in the file name only, never in the folder.
    QTest::newRow("dot in the folder, none in the name")
        << QStringLiteral("C:\\v1.2\\Scrawlix") << QStringLiteral("C:\\v1.2\\Scrawlix.exe");
    QTest::newRow("other extension") << QStringLiteral("C:\\Tools\\Scrawlix.bin")
                                     << QStringLiteral("C:\\Tools\\Scrawlix.exe");
    QTest::newRow("network share") << QStringLiteral("\\\\server\\share\\Scrawlix.exe")
                                   << QStringLiteral("\\\\server\\share\\Scrawlix.exe");
}

void TestRunKeyPath::commandLine()
{
    QFETCH(QString, program);
    QFETCH(QString, expected);
    QCOMPARE(runKeyValueForProgram(program), expected);
}

QTEST_GUILESS_MAIN(TestRunKeyPath)
#include "tst_runkeypath.moc"
