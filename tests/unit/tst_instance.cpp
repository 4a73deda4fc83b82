// One running program: the command line (file names as the system's bytes), the local-socket
// channel (the Windows one, which works on any system), what the running program does with
// each request, and that every command of --help and of the toolbox reaches it.

#include "platform/qt/localinstance.h"
#include "shell/captureflow.h"
#include "shell/commandline.h"
#include "canvas/frmmain.h"
#include "shell/commandtable.h"
#include "shell/instancerequests.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"

#include <QAction>
#include <QDir>
#include <QLocalSocket>
#include <QToolButton>
#include <QUuid>
#include <QtTest>
#include <algorithm>
#include <thread>

#include <cstdio>
#include <unistd.h>

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
        return channel.claim({}, [this](const InstanceRequest& r) { received.append(r); });
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
        QVERIFY(captureDone(*program));
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
    void everyCommandIsReachable();
};

void TestInstance::commandLine_data()
{
    // What the arguments ask for: "help", "version", "run" with the action and its argument, if
    // any, or "error: " and a part of the message.
    QTest::addColumn<QByteArrayList>("args");
    QTest::addColumn<QString>("expected");
    const auto open = [](const char* path) { return QStringLiteral("run open ") + rooted(path); };
    QTest::newRow("nothing") << QByteArrayList{} << "run";
    QTest::newRow("help") << QByteArrayList{"--help"} << "help";
    QTest::newRow("-h") << QByteArrayList{"-h"} << "help";
    QTest::newRow("help wins") << QByteArrayList{"--capture-screen", "--help"} << "help";
    QTest::newRow("version") << QByteArrayList{"--version"} << "version";
    QTest::newRow("screen") << QByteArrayList{"--capture-screen"} << "run capture-screen";
    QTest::newRow("window") << QByteArrayList{"--capture-window"} << "run capture-window";
    QTest::newRow("show") << QByteArrayList{"--show"} << "run show";
    QTest::newRow("exit") << QByteArrayList{"--exit"} << "run exit";
    QTest::newRow("open asks") << QByteArrayList{"--open"} << "run open";
    QTest::newRow("open relative") << QByteArrayList{"--open", "shots/a.bmp"} << open("/home/u/work/shots/a.bmp");
    QTest::newRow("open parent") << QByteArrayList{"--open", "../b.gif"} << open("/home/u/b.gif");
    QTest::newRow("open absolute") << QByteArrayList{"--open", "/tmp/c.jpg"} << open("/tmp/c.jpg");
    QTest::newRow("open=") << QByteArrayList{"--open=d.bmp"} << open("/home/u/work/d.bmp");
    QTest::newRow("open url") << QByteArrayList{"--open", "file:///tmp/e%20f.bmp"} << open("/tmp/e f.bmp");
    QTest::newRow("open= empty") << QByteArrayList{"--open="} << "error: names no file";
    QTest::newRow("open then exit") << QByteArrayList{"--open", "--exit"} << "error: one action";
    QTest::newRow("two actions") << QByteArrayList{"--capture-screen", "--show"} << "error: one action";
    QTest::newRow("unknown") << QByteArrayList{"--capture"} << "error: unknown option '--capture'";
    // A file by itself, as a file manager's "Open with" gives it: opened.
    QTest::newRow("file") << QByteArrayList{"picture.bmp"} << open("/home/u/work/picture.bmp");
    QTest::newRow("file then action") << QByteArrayList{"a.bmp", "--show"} << "error: one action";
    QTest::newRow("two files") << QByteArrayList{"a.bmp", "b.bmp"} << "error: one action";
#if defined(Q_OS_UNIX)
    // Names as the system's bytes: one that is not UTF-8 becomes a URL of its bytes, one longer
    // than the system takes is refused.
    QTest::newRow("not text") << QByteArrayList{"caf\xe9 #1.bmp"} << "run open file:///home/u/work/caf%E9%20%231.bmp";
    QTest::newRow("url of bytes") << QByteArrayList{"--open", "file:///tmp/caf%E9.bmp"} << "run open file:///tmp/caf%E9.bmp";
    QTest::newRow("text stays text") << QByteArrayList{"caf\xc3\xa9.bmp"} << "run open /home/u/work/caf\u00e9.bmp";
    QTest::newRow("too long") << QByteArrayList{"--open", "/tmp/" + QByteArray(5000, 'a')} << "error: longer than the system takes";
#endif
}

void TestInstance::commandLine()
{
    QFETCH(QByteArrayList, args);
    QFETCH(QString, expected);
    const CommandLine c = parseCommandLine(args, rooted("/home/u/work").toUtf8());
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
    QVERIFY(t->capture.keepsCanvas());
    t.run(QStringLiteral("show"));
    QVERIFY(t.canvas()->isVisible());
    QVERIFY(!t->capture.keepsCanvas());
    SendToTray(*t);

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
    const auto& shown = t.fake->fakeMessages->shown;
    QCOMPARE(shown.size(), 1);
    QCOMPARE(t.canvas()->canvasGeometry().size(), QSize(64, 48));

    // Names only a Unix system has: not UTF-8, or with newlines.
#if defined(Q_OS_UNIX)
    // A name that is not UTF-8, as a later start hands it on: the file itself is opened, and a
    // message names it as it is, what is not text shown as such.
    const QByteArray folder = QFile::encodeName(t.dir.path());
    const QByteArray odd = folder + "/bad\xff.bmp";
    QVERIFY(image.scaled(32, 16).save(QFile::decodeName(folder + "/odd.bmp"), "BMP"));
    QVERIFY(::rename(folder + "/odd.bmp", odd.constData()) == 0);
    const CommandLine given = parseCommandLine({odd}, folder);
    QVERIFY(given.action);
    t.run(QStringLiteral("open"), given.action->argument);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(t.canvas()->canvasGeometry().size(), QSize(32, 16));
    QVERIFY(::truncate(odd.constData(), 10) == 0);
    t.run(QStringLiteral("open"), given.action->argument);
    QCOMPARE(shown.size(), 2);
    QVERIFY2(shown[1].text.contains(t.dir.path() + QStringLiteral("/bad\ufffd.bmp")), qPrintable(shown[1].text));

    // A name of a thousand newlines makes no box a thousand lines high: the lines are shown as
    // characters, and the middle of a long name is left out.
    const QString deep = t.dir.filePath(QString(200, QChar('\n')) + '/' + QString(200, QChar('\n')));
    QVERIFY(QDir().mkpath(deep));
    QVERIFY(writeFile(deep + QStringLiteral("/junk.bmp"), "not a picture"));
    t.run(QStringLiteral("open"), deep + QStringLiteral("/junk.bmp"));
    QCOMPARE(shown.size(), 3);
    QVERIFY2(shown[2].text.count('\n') < 5 && shown[2].text.size() < 400, qPrintable(shown[2].text));
    QVERIFY(shown[2].text.contains(QStringLiteral("/junk.bmp")));
#endif
}

void TestInstance::everyCommandIsReachable()
{
    // Every option of --help asks for a request that the running program takes.
    const QList<InstanceAction> taken = instanceActions();
    int options = 0;
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
        ++options;
    }
    QVERIFY(options > 5);

    // A toolbox button runs its own command: Capture captures, Hide keeps the canvas, Exit ends.
    Started t;
    FrmToolbox* toolbox = t->loadToolbox();
    for (QToolButton* b : toolbox->findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^cmd"))))
        QVERIFY2(!b->icon().isNull() && !b->toolTip().isEmpty(), qPrintable(b->objectName()));
    named<QToolButton>(toolbox, "cmdCaptureScreen")->click();
    QVERIFY(captureDone(*t));
    QVERIFY(t.canvas()->isVisible());
    named<QToolButton>(toolbox, "cmdHide")->click();
    QVERIFY(t->capture.keepsCanvas());
    named<QToolButton>(toolbox, "cmdExit")->click();
    QVERIFY(t->shell.IsExiting);
}

QTEST_MAIN(TestInstance)
#include "tst_instance.moc"
