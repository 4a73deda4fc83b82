// The command line written to the Run key for the running program.

#include "platform/win32/runkeypath.h"

#include <QTest>

class TestRunKeyPath : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandLine_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected");
        QTest::newRow("extension case") << "C:\\Tools\\Sketch.EXE" << "C:\\Tools\\Sketch.exe";
        QTest::newRow("spaces stay unquoted")
            << "C:\\Program Files\\My Tools\\Scrawlix.exe" << "C:\\Program Files\\My Tools\\Scrawlix.exe";
        QTest::newRow("dots in the name") << "D:\\Apps\\my.tool.exe" << "D:\\Apps\\my.tool.exe";
        // The extension is looked for in the file name only, never in the folder.
        QTest::newRow("dot in the folder, none in the name") << "C:\\v1.2\\Scrawlix" << "C:\\v1.2\\Scrawlix.exe";
        QTest::newRow("other extension") << "C:\\Tools\\Scrawlix.bin" << "C:\\Tools\\Scrawlix.exe";
    }

    void commandLine()
    {
        QFETCH(QString, program);
        QFETCH(QString, expected);
        QCOMPARE(runKeyValueForProgram(program), expected);
    }
};

QTEST_GUILESS_MAIN(TestRunKeyPath)
#include "tst_runkeypath.moc"
