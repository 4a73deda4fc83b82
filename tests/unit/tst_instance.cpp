// One running program: the command line (file names as the system's bytes), the local-socket
// channel (the Windows one, which works on any system) against a crashed first program and
// strangers, a broken file whose name is not UTF-8, and that every command of --help reaches it.
// The toolbox's Capture and Exit buttons.

#include "platform/qt/localinstance.h"
#include "shell/captureflow.h"
#include "shell/commandline.h"
#include "canvas/frmmain.h"
#include "shell/commandtable.h"
#include "shell/instancerequests.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"

#include <QDir>
#include <QLocalSocket>
#include <QToolButton>
#include <QUuid>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <thread>

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
    std::atomic<bool> done{false};
    std::thread sender([&] {
        LocalInstanceChannel later(name);
        later.timeoutMs = 3000;
        ok = later.send(request, error);
        done = true;
    });
    while (!done)
        QTest::qWait(5);
    sender.join();
    return ok;
}

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
    void commandLine_data()
    {
        // What the arguments ask for: "help", "run" with the action and its argument, if any, or
        // "error: " and a part of the message.
        QTest::addColumn<QByteArrayList>("args");
        QTest::addColumn<QString>("expected");
        const auto open = [](const char* path) { return QStringLiteral("run open ") + rooted(path); };
        QTest::newRow("nothing") << QByteArrayList{} << "run";
        QTest::newRow("-h") << QByteArrayList{"-h"} << "help";
        QTest::newRow("help wins") << QByteArrayList{"--capture-screen", "--help"} << "help";
        QTest::newRow("show") << QByteArrayList{"--show"} << "run show";
        QTest::newRow("open asks") << QByteArrayList{"--open"} << "run open";
        QTest::newRow("open parent") << QByteArrayList{"--open", "../b.gif"} << open("/home/u/b.gif");
        QTest::newRow("open=") << QByteArrayList{"--open=d.bmp"} << open("/home/u/work/d.bmp");
        QTest::newRow("open url") << QByteArrayList{"--open", "file:///tmp/e%20f.bmp"} << open("/tmp/e f.bmp");
        QTest::newRow("open= empty") << QByteArrayList{"--open="} << "error: names no file";
        QTest::newRow("open then exit") << QByteArrayList{"--open", "--exit"} << "error: one action";
        QTest::newRow("two actions") << QByteArrayList{"--capture-screen", "--show"} << "error: one action";
        // A file by itself, as a file manager's "Open with" gives it, and an action: refused.
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

    void commandLine()
    {
        QFETCH(QByteArrayList, args);
        QFETCH(QString, expected);
        const CommandLine c = parseCommandLine(args, rooted("/home/u/work").toUtf8());
        if (expected.startsWith(QLatin1String("error: "))) {
            QVERIFY2(c.kind == CommandLine::Kind::Error && c.error.contains(expected.mid(7)), qPrintable(c.error));
            return;
        }
        QString got = c.kind == CommandLine::Kind::Help ? QStringLiteral("help") : QStringLiteral("run");
        if (c.kind == CommandLine::Kind::Run && c.action)
            got += QLatin1Char(' ') + c.action->action +
                   (c.action->argument.isEmpty() ? QString() : QLatin1Char(' ') + c.action->argument);
        QCOMPARE(got, expected);
    }

    void localChannelAfterTheFirstHasEnded()
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

    void localChannelIgnoresStrangers()
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

        // A later start's request gets through, its argument as it was; a second claim finds the first.
        Listener second(name);
        QCOMPARE(second.claim(), InstanceChannel::Claim::AlreadyRunning);
        const InstanceRequest open{QStringLiteral("open"), QStringLiteral("/tmp/a b\tc.bmp")};
        QString error;
        QVERIFY2(sendFromElsewhere(name, open, &error), qPrintable(error));
        QTRY_COMPARE(first.received.size(), 1);
        QCOMPARE(first.received[0], open);
    }

    void requestOpen()
    {
    #if defined(Q_OS_UNIX)
        // A name that is not UTF-8, as a later start hands it on, of a file cut short: a message
        // names it as it is, what is not text shown as such.
        StartedProgram t;
        const QByteArray folder = QFile::encodeName(t.dir.path());
        const QByteArray odd = folder + "/bad\xff.bmp";
        QVERIFY(writeFile(t.dir.filePath(QStringLiteral("odd.bmp")), QByteArray("BM") + QByteArray(8, '\0')));
        QVERIFY(::rename(folder + "/odd.bmp", odd.constData()) == 0);
        const CommandLine given = parseCommandLine({odd}, folder);
        QVERIFY(given.action);
        RunInstanceRequest(*t, *given.action);
        QVERIFY(captureDone(*t));
        const auto& shown = t.fake->fakeMessages->shown;
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.contains(t.dir.path() + QStringLiteral("/bad\ufffd.bmp")), qPrintable(shown[0].text));
    #endif
    }

    void everyCommandIsReachable()
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

        // The toolbox's Capture and Exit buttons run their commands.
        StartedProgram t;
        FrmToolbox* toolbox = t->loadToolbox();
        named<QToolButton>(toolbox, "cmdCaptureScreen")->click();
        QVERIFY(captureDone(*t));
        QVERIFY(t.canvas()->isVisible());
        named<QToolButton>(toolbox, "cmdExit")->click();
        QVERIFY(t->shell.IsExiting);
    }
};

QTEST_MAIN(TestInstance)
#include "tst_instance.moc"
