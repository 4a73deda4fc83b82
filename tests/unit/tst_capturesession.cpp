// The capture session's state on its own, with no canvas: which requests lead where, that a kept
// canvas is only given up by showing it, and that every change, and only a change, is reported.

#include "shell/capturesession.h"

#include <QtTest>

using State = CaptureSession::State;
Q_DECLARE_METATYPE(CaptureSession::State)

class TestCaptureSession : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void transitions_data();
    void transitions();
};

void TestCaptureSession::transitions_data()
{
    // Steps: c a capture or an opened image is shown, h hide, s show, t send to tray.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("states");  // W, S or K after each step
    QTest::addColumn<int>("changes");      // signals seen
    QTest::newRow("capture, then to the tray") << "ct" << "SW" << 2;
    QTest::newRow("capture twice") << "cc" << "SS" << 1;
    QTest::newRow("hide and show") << "chs" << "SKS" << 3;
    QTest::newRow("a capture request while kept keeps it") << "chc" << "SKK" << 2;
    QTest::newRow("to the tray while kept keeps it") << "chtcs" << "SKKKS" << 3;
    QTest::newRow("show without hide") << "css" << "SSS" << 1;
    QTest::newRow("to the tray from the start") << "t" << "W" << 0;
}

void TestCaptureSession::transitions()
{
    QFETCH(QString, steps);
    QFETCH(QString, states);
    QFETCH(int, changes);
    qRegisterMetaType<CaptureSession::State>();
    CaptureSession session;
    QCOMPARE(session.state(), State::Waiting);
    QSignalSpy spy(&session, &CaptureSession::stateChanged);
    QString seen;
    for (QChar step : steps) {
        switch (step.toLatin1()) {
        case 'c': session.showing(); break;
        case 'h': session.kept(); break;
        case 's': session.shownAgain(); break;
        case 't': session.sentToTray(); break;
        }
        seen += QLatin1Char("WSK"[int(session.state())]);
        QCOMPARE(session.keepsCanvas(), session.state() == State::Kept);
        // The signal carries the state the session is in.
        if (!spy.isEmpty())
            QCOMPARE(spy.last().at(0).value<State>(), session.state());
    }
    QCOMPARE(seen, states);
    QCOMPARE(spy.size(), changes);
}

QTEST_GUILESS_MAIN(TestCaptureSession)
#include "tst_capturesession.moc"
