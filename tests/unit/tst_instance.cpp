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

Q_DECLARE_METATYPE(CommandLine::Kind)

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

struct Started : TestProgram {
    Started()
    {
        program->captureWait = [] { QCoreApplication::processEvents(); };
        program->start();
    }
    FrmMain* canvas() { return program->frmMain(); }
    void run(const QString& action, const QString& argument = {})
    {
        RunInstanceRequest(*program, InstanceRequest{action, argument});
    }
};

} // namespace

class TestInstance : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void commandLine_data();
    void commandLine();
    void usageAndVersion();
    void localChannelHandsRequestsToTheFirst();
    void localChannelAfterTheFirstHasEnded();
    void localChannelIgnoresStrangers();
    void requestsCapture();
    void requestShowOnlyWhatHideKept();
    void requestOpen();
    void requestExit();
};

void TestInstance::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<CommandLine::Kind>("kind");
    QTest::addColumn<QString>("action"); // "" for none
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("error"); // a part of the message
    using K = CommandLine::Kind;
    QTest::newRow("nothing") << QStringList{} << K::Run << ""
                             << ""
                             << "";
    QTest::newRow("help") << QStringList{"--help"} << K::Help << ""
                          << ""
                          << "";
    QTest::newRow("-h") << QStringList{"-h"} << K::Help << ""
                        << ""
                        << "";
    QTest::newRow("help wins") << QStringList{"--capture-screen", "--help"} << K::Help
                               << "capture-screen"
                               << ""
                               << "";
    QTest::newRow("version") << QStringList{"--version"} << K::Version << ""
                             << ""
                             << "";
    QTest::newRow("screen") << QStringList{"--capture-screen"} << K::Run << "capture-screen"
                            << ""
                            << "";
    QTest::newRow("window") << QStringList{"--capture-window"} << K::Run << "capture-window"
                            << ""
                            << "";
    QTest::newRow("show") << QStringList{"--show"} << K::Run << "show"
                          << ""
                          << "";
    QTest::newRow("exit") << QStringList{"--exit"} << K::Run << "exit"
                          << ""
                          << "";
    QTest::newRow("open asks") << QStringList{"--open"} << K::Run << "open"
                               << ""
                               << "";
    QTest::newRow("open relative") << QStringList{"--open", "shots/a.bmp"} << K::Run << "open"
                                   << "/home/u/work/shots/a.bmp"
                                   << "";
    QTest::newRow("open parent") << QStringList{"--open", "../b.gif"} << K::Run << "open"
                                 << "/home/u/b.gif"
                                 << "";
    QTest::newRow("open absolute") << QStringList{"--open", "/tmp/c.jpg"} << K::Run << "open"
                                   << "/tmp/c.jpg"
                                   << "";
    QTest::newRow("open=") << QStringList{"--open=d.bmp"} << K::Run << "open"
                           << "/home/u/work/d.bmp"
                           << "";
    QTest::newRow("open url") << QStringList{"--open", "file:///tmp/e%20f.bmp"} << K::Run << "open"
                              << "/tmp/e f.bmp"
                              << "";
    QTest::newRow("open= empty") << QStringList{"--open="} << K::Error << ""
                                 << ""
                                 << "names no file";
    QTest::newRow("open then exit") << QStringList{"--open", "--exit"} << K::Error << ""
                                    << ""
                                    << "one action";
    QTest::newRow("two actions") << QStringList{"--capture-screen", "--show"} << K::Error << ""
                                 << ""
                                 << "one action";
    QTest::newRow("unknown") << QStringList{"--capture"} << K::Error << ""
                             << ""
                             << "unknown option '--capture'";
    QTest::newRow("stray") << QStringList{"picture.bmp"} << K::Error << ""
                           << ""
                           << "unexpected argument";
}

void TestInstance::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(CommandLine::Kind, kind);
    QFETCH(QString, action);
    QFETCH(QString, argument);
    QFETCH(QString, error);
    const CommandLine c = parseCommandLine(args, QStringLiteral("/home/u/work"));
    QCOMPARE(c.kind, kind);
    if (kind == CommandLine::Kind::Error) {
        QVERIFY2(c.error.contains(error), qPrintable(c.error));
        return;
    }
    QCOMPARE(c.action.has_value(), !action.isEmpty());
    if (c.action) {
        QCOMPARE(c.action->action, action);
        QCOMPARE(c.action->argument, argument);
    }
}

void TestInstance::usageAndVersion()
{
    QCOMPARE(versionText(), QStringLiteral("Scrawlix 5.0.68"));
    const QString usage = usageText();
    for (const char* option : {"--capture-screen", "--capture-window", "--show", "--open [FILE]",
                               "--exit", "--help", "--version"})
        QVERIFY2(usage.contains(QLatin1String(option)), option);
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

void TestInstance::requestsCapture()
{
    Started t;
    t.run(QStringLiteral("capture-screen"));
    QVERIFY(t.canvas()->isVisible());
    QCOMPARE(t.canvas()->canvasState(), int(FrmMain::Maximized));
    QVERIFY(!t->drawing.WindowCaptureMode);
    SendToTray(*t);

    // The window, with Ctrl not held: the request says which, not the keyboard.
    t.fake->fakeKeys->setDown(17, false);
    t.fake->fakeForeground->rects[77] = {100, 50, 500, 350};
    t.fake->fakeForeground->foreground = 77;
    t.run(QStringLiteral("capture-window"));
    QVERIFY(t->drawing.WindowCaptureMode);
    QCOMPARE(t.canvas()->canvasState(), int(FrmMain::Normal));
    QCOMPARE(t.canvas()->canvasGeometry(), QRect(99, 49, 400, 300));
}

void TestInstance::requestShowOnlyWhatHideKept()
{
    Started t;
    t.run(QStringLiteral("show"));
    QVERIFY(!t.canvas()->isVisible());

    t.run(QStringLiteral("capture-screen"));
    ShowHideCanvas(*t, QStringLiteral("hide"));
    QVERIFY(!t.canvas()->isVisible());
    QVERIFY(t->session.keepsCanvas());
    t.run(QStringLiteral("show"));
    QVERIFY(t.canvas()->isVisible());
    QVERIFY(!t->session.keepsCanvas());
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
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("not a picture") > 0);
    f.close();
    t.run(QStringLiteral("open"), junk);
    QCOMPARE(t.fake->fakeMessages->shown.size(), 1);
    QCOMPARE(t.canvas()->canvasGeometry().size(), QSize(64, 48));
}

void TestInstance::requestExit()
{
    Started t;
    t.run(QStringLiteral("exit"));
    QVERIFY(t->ended);
    QVERIFY(t->shell.IsExiting);
    // After that, requests find nothing to act on.
    t.run(QStringLiteral("capture-screen"));
    QCOMPARE(t.fake->fakeScreen->captures, 0);
}

QTEST_MAIN(TestInstance)
#include "tst_instance.moc"
