// Capture and show: window captures that fall back to the screen, the hot key, the tray's click
// pairs, a copy beside the event loop, labels let go, and the keypad.

#include "canvas/texttool.h"
#include "platform/keystate.h"
#include "shell/commands.h"
#include "shell/hotkey.h"
#include "shell/trayclicks.h"
#include "testprogram.h"
#include "ui/widgets.h"

#include <QTimer>
#include <QToolButton>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

#include <atomic>

namespace {
QRect screenRect()
{
    return QGuiApplication::primaryScreen()->geometry();
}
} // namespace

class TestCapture : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void windowCaptureFallsBackToScreen_data()
    {
        QTest::addColumn<quintptr>("window");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::newRow("no active window") << quintptr(0) << 0 << 0;
        QTest::newRow("overflowing rectangle") << quintptr(5) << int(0x80000000) << 0x7fffffff;
        QTest::newRow("empty rectangle") << quintptr(5) << 100 << 100;
    }

    void windowCaptureFallsBackToScreen()
    {
        QFETCH(quintptr, window);
        QFETCH(int, left);
        QFETCH(int, right);
        StartedProgram t;
        t.fake->fakeForeground->rects[5] = {left, 0, right, 100};
        t.fake->fakeForeground->foreground = window == 0 ? 999 : window; // 999 has no rectangle
        capture(*t, QStringLiteral("window"));
        QVERIFY(t.canvas()->isVisible());
        QCOMPARE(t.canvas()->canvasState(), int(FrmMain::Maximized));
        QVERIFY(!t->drawing.WindowCaptureMode);
        QCOMPARE(t.canvas()->picture().image().size(), screenRect().size());
        QVERIFY(t.fake->fakeMessages->shown.isEmpty());
    }

    void hotKeyMatching_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("captures");
        QTest::addColumn<int>("registered"); // the key start-up registered
        const int win = HotKeys::ModWin;
        QTest::newRow("lower v") << "v" << win << 0x56 << true << 0x56;
        QTest::newRow("other letter") << "k" << win << 0x56 << false << 0x4B;
        QTest::newRow("Win+Ctrl") << "V" << int(win | HotKeys::ModControl) << 0x56 << false << 0x56;
        QTest::newRow("Win+Alt") << "V" << int(win | HotKeys::ModAlt) << 0x56 << false << 0x56;
        QTest::newRow("empty letter") << "" << win << 0x56 << false << 0x56;
        QTest::newRow("slash key") << "/" << win << 0xBF << true << 0xBF;
        QTest::newRow("question mark, same key") << "?" << win << 0xBF << true << 0xBF;
        // Letters that no key types: V for the run, with a notice at the tray.
        QTest::newRow("e acute: V instead") << "\u00e9" << win << 0x56 << true << 0x56;
        QTest::newRow("control character: V instead") << "\x01" << win << 0x56 << true << 0x56;
        QTest::newRow("e acute: its code is no key") << "\u00e9" << win << 0xC9 << false << 0x56;
    }

    void hotKeyMatching()
    {
        QFETCH(QString, letter);
        QFETCH(int, modifiers);
        QFETCH(int, key);
        QFETCH(bool, captures);
        QFETCH(int, registered);
        StartedProgram t([&](SettingsStore& s) {
            s.save(setting.HotKey.key, letter.isEmpty() ? QStringLiteral("V") : letter);
        });
        if (letter.isEmpty())
            t->settings().save(setting.HotKey.key, QString());
        // What start-up registered: Windows key + the letter's key, for the canvas.
        QCOMPARE(t.fake->fakeHotKeys->registrations.size(), 1);
        QCOMPARE(t.fake->fakeHotKeys->registrations[0].window, quintptr(t.canvas()->winId()));
        QCOMPARE(t.fake->fakeHotKeys->registrations[0].modifiers, quint32(HotKeys::ModWin));
        QCOMPARE(t.fake->fakeHotKeys->registrations[0].vk, quint32(registered));
        // The tray says so when the stored letter gave way to V; the store keeps it.
        const bool untypable =
            letter == QStringLiteral("\u00e9") || letter == QStringLiteral("\x01");
        QCOMPARE(t.notices.size(), untypable ? 1 : 0);
        if (untypable)
            QVERIFY2(t.notices[0].contains(QLatin1String("Windows key + V")),
                     qPrintable(t.notices[0]));
        if (!letter.isEmpty())
            QCOMPARE(t.reopenStore()->read(setting.HotKey.key), letter);
        // Whatever the system reports as pressed.
        Q_EMIT t.fake->fakeHotKeys->pressed(quint32(key), quint32(modifiers));
        QVERIFY(captureDone(*t));
        QCOMPARE(t.canvas()->isVisible(), captures);
        if (captures)
            QVERIFY(!t->drawing.WindowCaptureMode);
    }

    void takenHotKeyIsReported()
    {
        // Another program holds the combination: the user is told which and what to do. A letter
        // registered before is ours: the options dialog's OK does not report it as taken.
        TestProgram t;
        t.fake->fakeHotKeys->failRegistrations = true;
        t->start();
        const auto& shown = t.fake->fakeMessages->shown;
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.contains(QStringLiteral("Windows key + V")));
        QVERIFY(shown[0].text.contains(QStringLiteral("Configuration")));
        t.fake->fakeHotKeys->failRegistrations = false;
        RegisterHotKeyLetter(*t, QStringLiteral("k"));
        t.fake->fakeHotKeys->failRegistrations = true;
        RegisterHotKeyLetter(*t, QStringLiteral("K"));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(t.fake->fakeHotKeys->registrations.size(), 1);
    }

    void trayClickPairs_data()
    {
        // Events: "c<ms>" a click, "d" a reported double-click; '+' where a pair completes.
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("pairs");
        QTest::newRow("close together") << QStringList{"c0", "c400"} << "-+";
        QTest::newRow("too far apart") << QStringList{"c0", "c401", "c700"} << "--+";
        QTest::newRow("a third click starts afresh") << QStringList{"c0", "c100", "c200"} << "-+-";
        QTest::newRow("reported double-click uses them up") << QStringList{"c0", "d", "c100"} << "-.-";
        QTest::newRow("clock going back") << QStringList{"c500", "c100"} << "--";
    }

    void trayClickPairs()
    {
        QFETCH(QStringList, events);
        QFETCH(QString, pairs);
        TrayClicks clicks(400);
        QString got;
        for (const QString& e : events) {
            if (e == QLatin1String("d")) {
                clicks.reported();
                got += QLatin1Char('.');
                QVERIFY(!clicks.takePending());
            } else {
                const bool pair = clicks.click(e.mid(1).toLongLong());
                got += QLatin1Char(pair ? '+' : '-');
                QCOMPARE(clicks.takePending(), pair);
            }
        }
        QCOMPARE(got, pairs);
    }

    void copyReadsBesideTheEventLoop()
    {
        // A service that reads on any thread reads the canvas on a worker: meanwhile the program
        // still handles its requests, but a hot key pressed then waits until the copy is done, and
        // captures afterwards.
        StartedProgram t;
        capture(*t, QStringLiteral("screen"));
        QTRY_COMPARE(t.canvas()->geometry(), screenRect());
        FakeScreenPixels& screen = *t.fake->fakeScreen;
        screen.anyThread = true;
        const int captures = screen.captures;
        QList<bool> offThread; // one entry a read beside the loop
        std::atomic<bool> handled{false};
        bool capturedMeanwhile = true;
        screen.duringRead = [&] {
            if (QThread::currentThread() == qApp->thread())
                return; // the hot key's own capture, afterwards
            offThread << true;
            QMetaObject::invokeMethod(
                qApp,
                [&] {
                    HotKeyPressed(*t, 'V', HotKeys::ModWin);
                    capturedMeanwhile = t->capture.capturing() || screen.captures != captures + 1;
                    handled = true;
                },
                Qt::QueuedConnection);
            QElapsedTimer waited;
            waited.start();
            while (!handled && waited.elapsed() < 2000)
                QThread::msleep(1);
        };
        CopyCanvas(*t);
        QVERIFY(handled);
        QVERIFY(!capturedMeanwhile);
        QCOMPARE(offThread, QList<bool>{true});
        QCOMPARE(QGuiApplication::clipboard()->image().size(), screenRect().size() - QSize(2, 2));
        QVERIFY(captureDone(*t));
        QCOMPARE(screen.captures, captures + 2);

        // A window manager slow to pass the focus on still names the hidden toolbox as the window
        // in front: the copy is of the canvas all the same.
        screen.anyThread = false;
        t.toolbox()->hide();
        t.fake->fakeForeground->foreground = static_cast<quintptr>(t.toolbox()->winId());
        QGuiApplication::clipboard()->clear();
        CopyCanvas(*t);
        QCOMPARE(QGuiApplication::clipboard()->image().size(), screenRect().size() - QSize(2, 2));
    }

    void newCaptureAndSendToTrayUnloadLabels()
    {
        // A new capture erases the drawing's labels, and so does sending the canvas to the tray.
        StartedProgram t;
        capture(*t, QStringLiteral("screen"));
        placeText(*t.canvas(), 50, 60);
        capture(*t, QStringLiteral("screen"));
        QCOMPARE(t.canvas()->labels().Count(), 1);
        QCOMPARE(t->drawing.NextLabelIndex, std::int16_t(0));
        for (int i = 0; i < 3; ++i)
            placeText(*t.canvas(), 20 + 40 * i, 30);
        QCOMPARE(t.canvas()->labels().Count(), 4);
        named<QToolButton>(t.toolbox(), "cmdToTray")->click();
        QCOMPARE(t.canvas()->labels().Count(), 1);
        QVERIFY(t.canvas()->labels().at(0));
        QCOMPARE(t->drawing.NextLabelIndex, std::int16_t(0));
        // The tray keeps no picture of the screen.
        QVERIFY(t.canvas()->picture().isNull());
        QVERIFY(t.canvas()->image().isNull());
    }

    void keypadSteps_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("plus");
        QTest::addColumn<bool>("minus");
        QTest::addColumn<int>("expected");
        QTest::newRow("89 plus") << 89 << true << false << 99;
        QTest::newRow("90 plus") << 90 << true << false << 90;
        QTest::newRow("11 minus") << 11 << false << true << 1;
        QTest::newRow("10 minus") << 10 << false << true << 10;
        QTest::newRow("both") << 50 << true << true << 50;
        QTest::newRow("both at 95") << 95 << true << true << 85;
    }

    void keypadSteps()
    {
        QFETCH(int, size);
        QFETCH(bool, plus);
        QFETCH(bool, minus);
        QFETCH(int, expected);
        StartedProgram t;
        named<ComboList>(t.toolbox(), "cboSize")->setListIndex(size - 1);
        // Taps shorter than a tick still count.
        if (plus)
            t.fake->fakeKeys->tap(107);
        if (minus)
            t.fake->fakeKeys->tap(109);
        t.toolbox()->tmr_Timer();
        QCOMPARE(named<ComboList>(t.toolbox(), "cboSize")->currentText().toInt(), expected);
    }

    void keypadTimerRunsOnlyWhileKeysArePressed()
    {
        StartedProgram t;
        auto* tmr = t.toolbox()->findChild<QTimer*>(QStringLiteral("tmr"));
        QVERIFY(tmr);
        auto* size = named<ComboList>(t.toolbox(), "cboSize");
        size->setListIndex(19);
        QVERIFY(!tmr->isActive());

        // A tap starts it for one step; a held key keeps it going until released.
        t.fake->fakeKeys->tap(vk::Add);
        QVERIFY(tmr->isActive());
        t.toolbox()->tmr_Timer();
        QCOMPARE(size->currentText().toInt(), 30);
        QVERIFY(!tmr->isActive());
        t.fake->fakeKeys->setDown(vk::Subtract, true);
        t.toolbox()->tmr_Timer();
        t.toolbox()->tmr_Timer();
        QCOMPARE(size->currentText().toInt(), 10);
        QVERIFY(tmr->isActive());
        t.fake->fakeKeys->setDown(vk::Subtract, false);
        t.toolbox()->tmr_Timer();
        QVERIFY(!tmr->isActive());

        // Once the program is ending, a press starts nothing.
        t.toolbox()->stopTimer();
        t.fake->fakeKeys->tap(vk::Add);
        QVERIFY(!tmr->isActive());
    }
};

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
