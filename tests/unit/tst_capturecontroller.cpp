// The capture flow's states, and every request that can come while a capture or a snapshot is
// under way: with the fake screen service held at each step, so that the test says when the
// windows have gone and when the picture comes.

#include "imaging/openfile.h"
#include "platform/instancechannel.h"
#include "shell/commands.h"
#include "shell/instancerequests.h"
#include "shell/trayicon.h"
#include "testprogram.h"

#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

using State = CaptureController::State;

namespace {

struct Held : StartedProgram {
    FakeScreenGrab& grab() { return *fake->fakeGrab; }
    State state() { return program->capture.state(); }
    void hold(bool on = true) { grab().holdSettle = grab().holdGrab = on; }
    // A capture request left in the state the held service stops it at.
    void request(const QString& kind = QStringLiteral("screen"))
    {
        CaptureAndShow(*program, kind);
        QCoreApplication::processEvents();
    }
};

} // namespace

class TestCaptureController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void transitions_data()
    {
        // Steps: c capture the screen, h hide, s show, t send to tray. States: W waiting,
        // L settling, G grabbing, S showing, K kept, as reported in turn.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("states");
        QTest::newRow("capture twice") << "cc" << "LGSLGS";
        QTest::newRow("to the tray while kept keeps it") << "chtcs" << "LGSKS";
        QTest::newRow("show without hide changes nothing") << "css" << "LGS";
        QTest::newRow("to the tray from the start") << "t" << "";
    }

    void transitions()
    {
        QFETCH(QString, steps);
        QFETCH(QString, states);
        StartedProgram t;
        QString seen;
        QObject::connect(&t->capture, &CaptureController::stateChanged,
                         [&](State s) { seen += QLatin1Char("WLGSK"[int(s)]); });
        for (const QChar step : steps) {
            switch (step.toLatin1()) {
            case 'c': CaptureAndShow(*t, QStringLiteral("screen")); break;
            case 'h': ShowHideCanvas(*t, QStringLiteral("hide")); break;
            case 's': ShowHideCanvas(*t, QStringLiteral("show")); break;
            case 't': SendToTray(*t); break;
            }
            QVERIFY(captureDone(*t));
        }
        QCOMPARE(seen, states);
        // The menu's Show follows the kept canvas.
        QCOMPARE(t.canvas()->findChild<QAction*>(QStringLiteral("mnuShow"))->isEnabled(),
                 t->capture.keepsCanvas());
    }

    void requestsDuringACaptureJoinIt_data()
    {
        QTest::addColumn<bool>("whileSettling");
        QTest::newRow("while the windows go") << true;
        QTest::newRow("while the picture is read") << false;
    }

    void requestsDuringACaptureJoinIt()
    {
        // Every kind of capture request joins the capture under way: one settle, one grab, and
        // nothing of ours shows until its picture is there.
        QFETCH(bool, whileSettling);
        Held t;
        t.hold();
        t.request();
        if (!whileSettling)
            t.grab().finishSettle();
        QCOMPARE(t.state(), whileSettling ? State::Settling : State::Grabbing);
        t.request(QStringLiteral("window"));
        QVERIFY(t.fake->fakeHotKeys->press(HotKeys::ModWin, 'V'));
        QVERIFY(t.fake->fakeHotKeys->press(HotKeys::ModWin, 'V'));
        t->tray()->STI_DblClick();
        RunInstanceRequest(*t, {QStringLiteral("capture-screen"), {}});
        QCoreApplication::processEvents();
        QVERIFY(!t.canvas()->isVisible() && !t.toolbox()->isVisible());
        t.grab().finishSettle();
        QCOMPARE(t.grab().settles, 1);
        QCOMPARE(t.grab().heldGrabs(), 1);
        t.grab().finishGrab();
        QCOMPARE(t.state(), State::Showing);
        QVERIFY(t.canvas()->isVisible() && t.toolbox()->isVisible());
        QVERIFY(!t->drawing.WindowCaptureMode);
        QVERIFY(captureDone(*t));
        QCOMPARE(t.grab().grabbedAreas.size(), 1);
        // The next request after it captures again.
        t.hold(false);
        capture(*t, QStringLiteral("screen"));
        QCOMPARE(t.grab().grabbedAreas.size(), 2);
    }

    void aRequestAfterAnOverduePictureStartsAgain()
    {
        // A picture that does not come in time will not come (a portal that forgot its request): the
        // user's next request starts the capture again, and the late answer of the first, should it
        // come after all, shows nothing.
        Held t;
        t->capture.setOverdueAfterMs(200);
        t.grab().holdGrab = true;
        t.request();
        QCOMPARE(t.state(), State::Grabbing);
        t.request();
        QCOMPARE(t.grab().heldGrabs(), 1);
        QTest::qWait(250);
        t.request();
        QCOMPARE(t.grab().settles, 2);
        QCOMPARE(t.grab().heldGrabs(), 2);
        QCOMPARE(t.state(), State::Grabbing);
        t.grab().finishGrab();
        QCOMPARE(t.state(), State::Grabbing);
        QVERIFY(!t.canvas()->isVisible());
        t.grab().finishGrab();
        QCOMPARE(t.state(), State::Showing);
        QVERIFY(captureDone(*t));
    }

    void onlyWindowsOnTheScreenAreWaitedFor()
    {
        StartedProgram t;
        FakeScreenGrab& grab = *t.fake->fakeGrab;
        // From the tray nothing of ours is on the screen: nothing to wait for.
        capture(*t, QStringLiteral("screen"));
        QCOMPARE(grab.vanishing.last(), QList<QWindow*>());
        // Over a screen capture: the toolbox and the canvas go.
        capture(*t, QStringLiteral("screen"));
        QCOMPARE(grab.vanishing.last(), (QList<QWindow*>{t.toolbox()->windowHandle(),
                                                         t.canvas()->windowHandle()}));
        // A menu item: the menu that has just closed goes too.
        SendToTray(*t);
        QMenu* menu = t->tray()->menu();
        menu->popup(QPoint(10, 10));
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
        t.canvas()->findChild<QAction*>(QStringLiteral("mnuCaptureScreen"))->trigger();
        QVERIFY(captureDone(*t));
        QVERIFY(grab.vanishing.last().contains(menu->windowHandle()));
    }

    void openDuringACaptureWaitsForIt()
    {
        // An open that comes while the windows go is done after the capture shows: the capture is
        // the screen alone, and the opened picture follows it on the canvas.
        Held t;
        const QString file = t.dir.filePath(QStringLiteral("small.bmp"));
        QImage small(40, 30, QImage::Format_RGB32);
        small.fill(qRgb(200, 10, 10));
        QVERIFY(small.save(file, "BMP"));
        t.grab().holdSettle = true;
        t.request();
        OpenImageFile(*t, file);
        OpenImageFile(*t, file);
        QCoreApplication::processEvents();
        QVERIFY(!t.canvas()->isVisible());
        t.grab().finishSettle();
        QVERIFY(captureDone(*t));
        QCOMPARE(t.grab().grabbedAreas.size(), 1);
        QTRY_COMPARE(t.canvas()->picture().image().size(), QSize(40, 30));
        QCOMPARE(t.canvas()->picture().image().pixel(5, 5), qRgb(200, 10, 10));
        QCOMPARE(t.canvas()->canvasState(), int(FrmMain::Normal));
        QVERIFY(t.fake->fakeMessages->shown.isEmpty());
    }

    void exitOrTrayDuringACaptureDropsIt_data()
    {
        QTest::addColumn<bool>("exit");
        QTest::addColumn<bool>("whileSettling");
        QTest::newRow("exit while the picture is read") << true << false;
        QTest::newRow("exit while the windows go") << true << true;
        QTest::newRow("to the tray while the picture is read") << false << false;
        QTest::newRow("to the tray while the windows go") << false << true;
    }

    void exitOrTrayDuringACaptureDropsIt()
    {
        // An answer that comes after the user went on (a portal's, seconds later) shows nothing.
        QFETCH(bool, exit);
        QFETCH(bool, whileSettling);
        Held t;
        t.hold();
        t.request();
        if (!whileSettling)
            t.grab().finishSettle();
        QPointer<FrmMain> canvas = t.canvas();
        if (exit)
            ExitProgram(*t);
        else
            SendToTray(*t);
        QCOMPARE(t->ended, exit);
        QCOMPARE(t.state(), State::Waiting);
        t.grab().finishSettle();
        t.grab().finishGrab();
        QCoreApplication::processEvents();
        QCOMPARE(t.grab().grabbedAreas.size(), whileSettling ? 0 : 1);
        QVERIFY(!canvas || !canvas->isVisible());
        QCOMPARE(t.state(), State::Waiting);
        if (!exit) {
            t.hold(false);
            capture(*t, QStringLiteral("screen"));
            QVERIFY(t.canvas()->isVisible());
        }
    }

    void workOnAWorkerHoldsEveryRequestBack()
    {
        // While a save or copy runs on its worker, the hot key, Send to Tray and Exit wait for it,
        // and then run in the order they came.
        ShownProgram t;
        const quint64 captures = t->capture.generation();
        {
            const CaptureController::Hold hold(t->capture);
            QVERIFY(t.fake->fakeHotKeys->press(HotKeys::ModWin, 'V'));
            SendToTray(*t);
            ExitProgram(*t);
            QCoreApplication::processEvents();
            QCOMPARE(t->capture.generation(), captures);
            QVERIFY(t.canvas()->isVisible());
            QCOMPARE(t.canvas()->document().image().pixel(10, 10), ShownProgram::Marker);
            QVERIFY(!t->ended);
        }
        QVERIFY(captureDone(*t));
        QCOMPARE(t->capture.generation(), captures + 1);
        QVERIFY(t->ended);
    }

    void frozenCopyShowsTheCanvasAtOnce()
    {
        // Where the service freezes the screen in the grab, the canvas shows that copy while the
        // pixels are read, and its first paint takes them; the copy is let go then.
        Held t;
        t.grab().showsFrozen = true;
        t.hold();
        t.request();
        t.grab().finishSettle();
        QCOMPARE(t.state(), State::Grabbing);
        QVERIFY(t.canvas()->isVisible() && t.canvas()->picturePending());
        QCOMPARE(t.grab().frozenIn, QList<QWindow*>{t.canvas()->windowHandle()});
        QVERIFY(!t.toolbox()->isVisible());
        t.canvas()->grab(); // paints it
        QCOMPARE(t.state(), State::Showing);
        QVERIFY(!t.canvas()->picturePending());
        QVERIFY(t.grab().frozenIn.isEmpty());
        QCOMPARE(t.canvas()->picture().image().pixel(300, 200), t.fake->fakeScreen->screen.pixel(300, 200));
        QVERIFY(t.toolbox()->isVisible());
        // The answer by signal that follows changes nothing.
        t.grab().finishGrab();
        QVERIFY(captureDone(*t));
        QCOMPARE(t.state(), State::Showing);

        // Sent to the tray before the pixels came: the canvas goes, and so does the copy.
        t.request();
        t.grab().finishSettle();
        QVERIFY(t.canvas()->picturePending());
        SendToTray(*t);
        QVERIFY(!t.canvas()->isVisible() && !t.canvas()->picturePending());
        QVERIFY(t.grab().frozenIn.isEmpty());
    }
};

QTEST_MAIN(TestCaptureController)
#include "tst_capturecontroller.moc"
