// One running program: the command line, the local-socket channel (the Windows one, which works
// on any system), and what the running program does with each request.

#include "platform/qt/localinstance.h"
#include "shell/captureflow.h"
#include "shell/commandline.h"
#include "canvas/frmmain.h"
#include "shell/instancerequests.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"

#include <QAction>
#include <QLocalSocket>
#include <QUuid>
#include <QtTest>
#include <thread>

namespace {

QString uniqueName()
{
    return QStringLiteral("scrawlix-test-") + QUuid::createUuid().toString(QUuid::Id128);
}

// A channel whose received requests are recorded.
struct Listener {
    explicit Listener(const QString& name) : channel(name) {}
    InstanceChannel::Claim claim()
    {
        return channel.claim([this](const InstanceRequest& r) { received.append(r); });
    }
    LocalInstanceChannel channel;
    QList<InstanceRequest> received;
};

// send() waits for the answer, so it runs on a thread of its own while this one serves.
bool sendFromElsewhere(const QString& name, const InstanceRequest& request, QString* error)
{
    bool ok = false;
    std::thread sender([&] {
        LocalInstanceChannel later(name);
        later.timeoutMs = 3000;
        ok = later.send(request, error);
    });
    while (!ok && error->isEmpty() && sender.joinable()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (ok || !error->isEmpty())
            break;
        QTest::qWait(5);
    }
    sender.join();
    return ok;
}

struct Started : StartedProgram {
    void run(const QString& action, const QString& argument = {})
    {
        RunInstanceRequest(*program, InstanceRequest{action, argument});
    }
};

// An absolute path: on Windows, one on drive C:, where a path that starts with a slash lands.
QString rooted(const char* path)
{
#if defined(Q_OS_WIN)
    return QStringLiteral("C:") + QLatin1String(path);
#else
    return QLatin1String(path);
#endif
}

} // namespace

class TestInstance : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void commandLine_data();
    void commandLine();
    void localChannelHandsRequestsToTheFirst();
    void localChannelAfterTheFirstHasEnded();
    void localChannelIgnoresStrangers();
    void requestsCaptureShowAndExit();
    void requestOpen();
};

void TestInstance::commandLine_data()
{
    // What the arguments ask for: "help", "version", "run" with the action and its argument, if
    // any, or "error: " and a part of the message.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing") << QStringList{} << "run";
    QTest::newRow("help") << QStringList{"--help"} << "help";
    QTest::newRow("-h") << QStringList{"-h"} << "help";
    QTest::newRow("help wins") << QStringList{"--capture-screen", "--help"} << "help";
    QTest::newRow("version") << QStringList{"--version"} << "version";
    QTest::newRow("screen") << QStringList{"--capture-screen"} << "run capture-screen";
    QTest::newRow("window") << QStringList{"--capture-window"} << "run capture-window";
    QTest::newRow("show") << QStringList{"--show"} << "run show";
    QTest::newRow("exit") << QStringList{"--exit"} << "run exit";
    QTest::newRow("open asks") << QStringList{"--open"} << "run open";
    QTest::newRow("open relative") << QStringList{"--open", "shots/a.bmp"} << QStringLiteral("run open ") + rooted("/home/u/work/shots/a.bmp");
    QTest::newRow("open parent") << QStringList{"--open", "../b.gif"} << QStringLiteral("run open ") + rooted("/home/u/b.gif");
    QTest::newRow("open absolute") << QStringList{"--open", "/tmp/c.jpg"} << QStringLiteral("run open ") + rooted("/tmp/c.jpg");
    QTest::newRow("open=") << QStringList{"--open=d.bmp"} << QStringLiteral("run open ") + rooted("/home/u/work/d.bmp");
    QTest::newRow("open url") << QStringList{"--open", "file:///tmp/e%20f.bmp"} << QStringLiteral("run open ") + rooted("/tmp/e f.bmp");
    QTest::newRow("open= empty") << QStringList{"--open="} << "error: names no file";
    QTest::newRow("open then exit") << QStringList{"--open", "--exit"} << "error: one action";
    QTest::newRow("two actions") << QStringList{"--capture-screen", "--show"} << "error: one action";
    QTest::newRow("unknown") << QStringList{"--capture"} << "error: unknown option '--capture'";
    QTest::newRow("stray") << QStringList{"picture.bmp"} << "error: unexpected argument";
}

void TestInstance::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    const CommandLine c = parseCommandLine(args, rooted("/home/u/work"));
    QString got = QStringLiteral("run");
    if (c.kind == CommandLine::Kind::Help)
        got = QStringLiteral("help");
    else if (c.kind == CommandLine::Kind::Version)
        got = QStringLiteral("version");
    else if (c.kind == CommandLine::Kind::Error)
        got = QStringLiteral("error: ") + c.error;
    else if (c.action)
        got += QLatin1Char(' ') + c.action->action +
               (c.action->argument.isEmpty() ? QString() : QLatin1Char(' ') + c.action->argument);
    if (expected.startsWith(QLatin1String("error: ")))
        QVERIFY2(got.startsWith(QLatin1String("error: ")) && got.contains(expected.mid(7)), qPrintable(got));
    else
        QCOMPARE(got, expected);
}

void TestInstance::localChannelHandsRequestsToTheFirst()
{
    const QString name = uniqueName();
    Listener first(name);
    QCOMPARE(first.claim(), InstanceChannel::Claim::First);
    Listener second(name);
    QCOMPARE(second.claim(), InstanceChannel::Claim::AlreadyRunning);

    const InstanceRequest open{QStringLiteral("open"), QStringLiteral("/tmp/a b\tc.bmp")};
    QString error;
    QVERIFY2(sendFromElsewhere(name, open, &error), qPrintable(error));
    QTRY_COMPARE(first.received.size(), 1);
    QCOMPARE(first.received[0], open);
    QVERIFY(second.received.isEmpty());

    QVERIFY2(sendFromElsewhere(name, {QStringLiteral("exit"), {}}, &error), qPrintable(error));
    QTRY_COMPARE(first.received.size(), 2);
    QCOMPARE(first.received[1].action, QStringLiteral("exit"));
}

void TestInstance::localChannelAfterTheFirstHasEnded()
{
    const QString name = uniqueName();
    {
        Listener first(name);
        QCOMPARE(first.claim(), InstanceChannel::Claim::First);
    }
    QString error;
    LocalInstanceChannel nobody(name);
    nobody.timeoutMs = 500;
    QVERIFY(!nobody.send({QStringLiteral("show"), {}}, &error));
    QVERIFY(!error.isEmpty());

    Listener next(name);
    QCOMPARE(next.claim(), InstanceChannel::Claim::First);

#if defined(Q_OS_UNIX)
    // A crashed program leaves its socket file behind; the next start takes the name over.
    const QString leftOver = uniqueName();
    QFile stale(QDir::tempPath() + QLatin1Char('/') + leftOver);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    Listener afterCrash(leftOver);
    QCOMPARE(afterCrash.claim(), InstanceChannel::Claim::First);
    error.clear();
    QVERIFY2(sendFromElsewhere(leftOver, {QStringLiteral("show"), {}}, &error), qPrintable(error));
    QTRY_COMPARE(afterCrash.received.size(), 1);
#endif
}

void TestInstance::localChannelIgnoresStrangers()
{
    const QString name = uniqueName();
    Listener first(name);
    QCOMPARE(first.claim(), InstanceChannel::Claim::First);
    QLocalSocket stranger;
    stranger.connectToServer(name);
    QVERIFY(stranger.waitForConnected(2000));
    stranger.write(QByteArray(64, 'x'));
    stranger.flush();
    QTRY_COMPARE_WITH_TIMEOUT(stranger.state(), QLocalSocket::UnconnectedState, 1000);
    QVERIFY(first.received.isEmpty());

    QString error;
    QVERIFY2(sendFromElsewhere(name, {QStringLiteral("capture-screen"), {}}, &error),
             qPrintable(error));
    QTRY_COMPARE(first.received.size(), 1);
}

void TestInstance::requestsCaptureShowAndExit()
{
    Started t;
    // Show brings back only a canvas that hide kept.
    t.run(QStringLiteral("show"));
    QVERIFY(!t.canvas()->isVisible());
    t.run(QStringLiteral("capture-screen"));
    QVERIFY(t.canvas()->isVisible());
    QCOMPARE(t.canvas()->canvasState(), int(FrmMain::Maximized));
    QVERIFY(!t->drawing.WindowCaptureMode);
    ShowHideCanvas(*t, QStringLiteral("hide"));
    QVERIFY(!t.canvas()->isVisible());
    QVERIFY(t->session.keepsCanvas());
    t.run(QStringLiteral("show"));
    QVERIFY(t.canvas()->isVisible());
    QVERIFY(!t->session.keepsCanvas());
    SendToTray(*t);

    // The window, with Ctrl not held: the request says which, not the keyboard.
    t.fake->fakeKeys->setDown(17, false);
    t.fake->fakeForeground->rects[77] = {100, 50, 500, 350};
    t.fake->fakeForeground->foreground = 77;
    t.run(QStringLiteral("capture-window"));
    QVERIFY(t->drawing.WindowCaptureMode);
    QCOMPARE(t.canvas()->canvasGeometry(), QRect(99, 49, 400, 300));

    // Exit ends the program; after that, requests find nothing to act on.
    const int captures = t.fake->fakeScreen->captures;
    t.run(QStringLiteral("exit"));
    QVERIFY(t->ended);
    QVERIFY(t->shell.IsExiting);
    t.run(QStringLiteral("capture-screen"));
    QCOMPARE(t.fake->fakeScreen->captures, captures);
}

void TestInstance::requestOpen()
{
    Started t;
    const QString file = t.dir.filePath(QStringLiteral("given.bmp"));
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    QVERIFY(image.save(file, "BMP"));

    t.run(QStringLiteral("open"), file);
    QVERIFY(t.fake->fakeDialogs->asked.isEmpty());
    QVERIFY(t.canvas()->isVisible());
    QCOMPARE(t.canvas()->canvasGeometry().size(), QSize(64, 48));
    QCOMPARE(t.canvas()->picture().image().pixel(5, 5), qRgb(10, 200, 30));
    QVERIFY(t->frmToolbox()->isVisible());

    // Without a file it asks, as the menu's Open does, and offers the file opened last.
    t.run(QStringLiteral("open"));
    QCOMPARE(t.fake->fakeDialogs->asked.size(), 1);
    QCOMPARE(t.fake->fakeDialogs->asked[0].title, QStringLiteral("Open Image..."));
    QCOMPARE(t.fake->fakeDialogs->asked[0].initialName, file);

    // A file that is not a picture is reported and changes nothing.
    const QString junk = t.dir.filePath(QStringLiteral("junk.bmp"));
    QVERIFY(writeFile(junk, "not a picture"));
    t.run(QStringLiteral("open"), junk);
    QCOMPARE(t.fake->fakeMessages->shown.size(), 1);
    QCOMPARE(t.canvas()->canvasGeometry().size(), QSize(64, 48));
}

QTEST_MAIN(TestInstance)
#include "tst_instance.moc"
