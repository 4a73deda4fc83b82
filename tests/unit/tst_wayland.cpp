// The Wayland backend's pure parts: which session is Wayland, where the primary screen lies in a
// portal screenshot, the shortcut's trigger, whether an answer bound it and the key grab that
// stands in for the portal, how the portal's grab fails or falls back, the compositors' pixel
// layouts, how a compositor's grab hands over to the portal, and when a grab with nothing to hide
// may start.

#include "fake/fakeplatform.h"
#include "platform/notices.h"
#include "platform/portal/portalrequest.h"
#include "platform/portal/portalscreenshot.h"
#include "platform/portal/portalshortcuts.h"
#include "platform/session.h"
#include "platform/wayland/compositorgrab.h"
#include "platform/wayland/kwinscreenshot.h"
#include "platform/wayland/wlrscreencopy.h"

#include <QPainter>
#include <QtTest>

namespace {

// The pixel at (x, y) of a desktop picture whose every pixel tells where it came from.
QRgb at(int x, int y)
{
    return qRgb(x % 256, y % 256, x / 256 + 16 * (y / 256));
}

QImage coordinates(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, at(x, y));
    return img;
}

// The grab that stands in when the portal fails: a flat colour, counted.
struct FallbackGrab : ScreenGrab {
    int grabs = 0;
    QColor colour = Qt::darkGray;
    Capabilities capabilities() const override { return {}; }
    void settle(const QList<QWindow*>&, const std::function<void()>& hide, QDeadlineTimer) override { hide(); }
    void cancelSettle() override {}
    CapturedBitmap waitForGrab(quint64) override { return {}; }
    void grab(quint64 ticket, const QRect& area) override
    {
        ++grabs;
        CapturedBitmap b;
        b.image = QImage(area.size(), QImage::Format_RGB32);
        b.image.fill(colour);
        QMetaObject::invokeMethod(this, [this, ticket, b] { Q_EMIT grabbed(ticket, b); },
                                  Qt::QueuedConnection);
    }
};

QImage takeFrom(ScreenGrab& grab, const QRect& area, QString* failure = nullptr)
{
    QImage got;
    bool done = false;
    QObject context;
    QObject::connect(&grab, &ScreenGrab::grabbed, &context, [&](quint64, const CapturedBitmap& b) {
        got = b.image;
        done = true;
    });
    QObject::connect(&grab, &ScreenGrab::grabFailed, &context, [&](quint64, const QString& why) {
        if (failure)
            *failure = why;
        done = true;
    });
    grab.grab(1, area);
    QDeadlineTimer limit(2000);
    while (!done && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return got;
}

struct Reader {
    FallbackGrab* fallback = nullptr;
    std::shared_ptr<Notices> notices = std::make_shared<Notices>();
    QStringList told;
    int shots = 0;
    QList<PortalShot> answers; // the portal's answers in turn; the last one repeats
    std::unique_ptr<PortalGrab> grab;

    explicit Reader(QList<PortalShot> a) : answers(std::move(a))
    {
        auto f = std::make_unique<FallbackGrab>();
        fallback = f.get();
        notices->setSink([this](const QString& t, Notices::Weight) { told << t; });
        grab = std::make_unique<PortalGrab>(
            std::move(f), notices,
            [this](QObject* context, std::function<void(const PortalShot&)> done) {
                const PortalShot shot = answers.at(std::min<int>(shots++, answers.size() - 1));
                QMetaObject::invokeMethod(context, [done, shot] { done(shot); },
                                          Qt::QueuedConnection);
            },
            [] { return QRect(0, 0, 300, 200); }, [] { return QRect(0, 0, 300, 200); });
    }
    // The picture of one grab of the whole screen; a null one when the grab failed, with why.
    QImage take(QString* failure = nullptr) { return takeFrom(*grab, QRect(0, 0, 300, 200), failure); }
};

} // namespace

class TestWayland : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void session_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("wayland");
        QTest::newRow("any case") << "Wayland" << "" << true;
        QTest::newRow("display only") << "" << "wayland-0" << true;
        QTest::newRow("tty, nothing") << "tty" << "" << false;
    }
    void session()
    {
        QFETCH(QString, type);
        QFETCH(QString, display);
        QFETCH(bool, wayland);
        QCOMPARE(isWaylandSession(type, display), wayland);
    }

    // Every pixel of the crop is the screenshot's pixel at the same place on the desktop.
    void cropToPrimary_data()
    {
        QTest::addColumn<QRect>("desktop");
        QTest::addColumn<QRect>("primary");
        QTest::addColumn<QRect>("want");
        QTest::newRow("inner part") << QRect(0, 0, 640, 400) << QRect(0, 0, 640, 400) << QRect(1, 1, 638, 398);
        QTest::newRow("primary right of another") << QRect(0, 0, 1040, 400) << QRect(400, 0, 640, 400)
                                                  << QRect(0, 0, 640, 400);
        QTest::newRow("desktop left of zero") << QRect(-400, -50, 1040, 450) << QRect(0, 0, 640, 400)
                                              << QRect(0, 0, 640, 400);
    }
    void cropToPrimary()
    {
        QFETCH(QRect, desktop);
        QFETCH(QRect, primary);
        QFETCH(QRect, want);
        const QImage out = ::cropToPrimary(coordinates(desktop.size()), desktop, primary, want);
        QCOMPARE(out.size(), want.size());
        const QPoint offset = primary.topLeft() - desktop.topLeft() + want.topLeft();
        for (const QPoint p : {QPoint(0, 0), QPoint(want.width() - 1, 0), QPoint(0, want.height() - 1),
                               QPoint(want.width() - 1, want.height() - 1), QPoint(300, 299)}) {
            if (!out.rect().contains(p))
                continue;
            QCOMPARE(QColor(out.pixel(p)), QColor(at(p.x() + offset.x(), p.y() + offset.y())));
        }
    }

    void cropOfAScaledShotAndBeyondIt()
    {
        // A shot at twice the desktop's size (a scaled output) comes back at the desktop's size.
        QImage big(800, 400, QImage::Format_RGB32);
        big.fill(Qt::red);
        QPainter(&big).fillRect(400, 0, 400, 400, Qt::blue);
        const QRect desktop(0, 0, 400, 200);
        QImage out = ::cropToPrimary(big, desktop, desktop, desktop);
        QCOMPARE(out.size(), QSize(400, 200));
        QCOMPARE(QColor(out.pixel(50, 100)), QColor(Qt::red));
        QCOMPARE(QColor(out.pixel(350, 100)), QColor(Qt::blue));
        // What the shot does not cover is black, and the size is still the one asked for.
        out = ::cropToPrimary(coordinates(QSize(100, 100)), QRect(0, 0, 100, 100), QRect(0, 0, 100, 100),
                              QRect(50, 50, 100, 100));
        QCOMPARE(out.size(), QSize(100, 100));
        QCOMPARE(QColor(out.pixel(0, 0)), QColor(at(50, 50)));
        QCOMPARE(QColor(out.pixel(60, 60)), QColor(Qt::black));
    }

    void shortcutTrigger_data()
    {
        QTest::addColumn<quint32>("modifiers");
        QTest::addColumn<quint32>("vk");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("digit") << quint32(HotKeys::ModWin) << quint32('7') << "LOGO+7";
        QTest::newRow("ctrl too") << quint32(HotKeys::ModWin | HotKeys::ModControl) << quint32('A')
                                  << "CTRL+LOGO+a";
        QTest::newRow("no name") << quint32(HotKeys::ModWin) << quint32(',') << "";
    }
    void shortcutTrigger()
    {
        QFETCH(quint32, modifiers);
        QFETCH(quint32, vk);
        QFETCH(QString, trigger);
        QCOMPARE(::shortcutTrigger(modifiers, vk), trigger);
    }

    // Without a portal the X grab takes the registration, the user is told, and the grab's
    // presses are the service's.
    void shortcutsFallBackToTheGrab()
    {
        auto notices = std::make_shared<Notices>();
        auto fallback = std::make_unique<FakeHotKeys>();
        FakeHotKeys* grab = fallback.get();
        PortalHotKeys hotKeys(QDBusConnection(QStringLiteral("no bus")), std::move(fallback),
                              notices);
        QSignalSpy pressed(&hotKeys, &HotKeys::pressed);
        QVERIFY(hotKeys.RegisterHotKey(0x42, HotKeys::ModWin, 'V'));
        QTRY_COMPARE(hotKeys.state(), PortalHotKeys::State::Missing);
        QCOMPARE(grab->registrations.size(), 1);
        QVERIFY(notices->told(QStringLiteral("shortcuts")));
        QVERIFY(grab->press(HotKeys::ModWin, 'V'));
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(pressed.at(0), (QVariantList{quint32('V'), quint32(HotKeys::ModWin)}));
    }

    // Only an answer that lists "capture-screen" binds it; its trigger is what the desktop chose.
    void boundTrigger_data()
    {
        QTest::addColumn<QVariantMap>("results");
        QTest::addColumn<QString>("trigger");
        const auto listing = [](QList<Shortcut> list) {
            return QVariantMap{{QStringLiteral("shortcuts"), QVariant::fromValue(list)}};
        };
        const QVariantMap meta{{QStringLiteral("trigger_description"), QStringLiteral("Meta+V")}};
        QTest::newRow("listed without a trigger") << listing({{"capture-screen", {}}}) << "";
        QTest::newRow("another shortcut only") << listing({{"other", meta}}) << QString();
        QTest::newRow("an empty list") << listing({}) << QString();
        QTest::newRow("no list at all") << QVariantMap() << QString();
    }
    void boundTrigger()
    {
        QFETCH(QVariantMap, results);
        QFETCH(QString, trigger);
        const QString got = ::boundTrigger(results);
        QCOMPARE(got.isNull(), trigger.isNull());
        QCOMPARE(got, trigger);
    }

    // A refusal or a failure shows nothing: the grab fails with words for the user, and the next
    // capture asks again.
    void refusedOrFailingPortalFailsTheGrab_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("why");
        QTest::newRow("refused") << int(PortalAnswer::Refused) << "did not allow";
        QTest::newRow("failed") << int(PortalAnswer::Failed) << "failed";
    }
    void refusedOrFailingPortalFailsTheGrab()
    {
        QFETCH(int, kind);
        QFETCH(QString, why);
        Reader r({{{}, PortalAnswer::Kind(kind), "no"}, {coordinates({300, 200}), PortalAnswer::Granted, {}}});
        QString failure;
        QVERIFY(r.take(&failure).isNull());
        QVERIFY2(failure.contains(why), qPrintable(failure));
        QCOMPARE(r.fallback->grabs, 0);
        QVERIFY(r.told.isEmpty());
        const QImage b = r.take();
        QCOMPARE(r.shots, 2);
        QCOMPARE(QColor(b.pixel(10, 10)), QColor(at(10, 10)));
    }

    void missingPortalIsNotAskedAgain()
    {
        Reader r({{{}, PortalAnswer::Missing, "no"}});
        for (int i = 0; i < 3; ++i)
            QVERIFY(!r.take().isNull());
        QCOMPARE(r.shots, 1);
        QCOMPARE(r.fallback->grabs, 3);
        QCOMPARE(r.told.size(), 1);
    }

    // What XWayland reads where it sees no window is black, which is no picture; one pixel that is
    // not black makes it one.
    void allBlack()
    {
        QVERIFY(isAllBlack(QImage()));
        QImage almost(50, 50, QImage::Format_RGB32);
        almost.fill(Qt::black);
        QVERIFY(isAllBlack(almost));
        almost.setPixel(49, 49, qRgb(0, 0, 1));
        QVERIFY(!isAllBlack(almost));
    }

    // The layouts the compositor may copy into: each comes out as the same opaque RGB32 picture,
    // rows in order, whatever the padding at their ends.
    void screencopyLayouts_data()
    {
        QTest::addColumn<quint32>("format");
        QTest::addColumn<int>("qformat");
        QTest::addColumn<bool>("yInvert");
        QTest::newRow("XRGB8888") << quint32(1) << int(QImage::Format_RGB32) << false;
        QTest::newRow("ARGB8888, alpha ignored") << quint32(0) << int(QImage::Format_ARGB32) << false;
        QTest::newRow("XBGR8888") << quint32(0x34324258) << int(QImage::Format_RGBX8888) << false;
        QTest::newRow("ABGR8888") << quint32(0x34324241) << int(QImage::Format_RGBA8888) << false;
        QTest::newRow("rows bottom up") << quint32(1) << int(QImage::Format_RGB32) << true;
    }
    void screencopyLayouts()
    {
        QFETCH(quint32, format);
        QFETCH(int, qformat);
        QFETCH(bool, yInvert);
        const QImage want = coordinates(QSize(37, 23));
        // The compositor's bytes: rows padded to 160 bytes, alpha 0 where there is an alpha channel.
        QImage bytes(want.size(), QImage::Format(qformat));
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x)
                bytes.setPixelColor(x, y, QColor::fromRgb(want.pixel(x, yInvert ? want.height() - 1 - y : y)));
        QByteArray padded(160 * want.height(), '\0');
        for (int y = 0; y < want.height(); ++y) {
            memcpy(padded.data() + 160 * y, bytes.constScanLine(y), size_t(want.width()) * 4);
            if (qformat == QImage::Format_ARGB32 || qformat == QImage::Format_RGBA8888)
                for (int x = 0; x < want.width(); ++x)
                    padded[160 * y + 4 * x + 3] = 0; // alpha, last in both layouts
        }
        const QImage got = screencopyImage(reinterpret_cast<const uchar*>(padded.constData()),
                                           want.width(), want.height(), 160, format, yInvert);
        QCOMPARE(got.format(), QImage::Format_RGB32);
        QCOMPARE(got.size(), want.size());
        for (const QPoint p : {QPoint(0, 0), QPoint(36, 0), QPoint(0, 22), QPoint(36, 22), QPoint(20, 11)})
            QCOMPARE(got.pixel(p), want.pixel(p));
        QVERIFY(screencopyImage(reinterpret_cast<const uchar*>(padded.constData()), want.width(),
                                want.height(), 160, 0x30335258 /* 10-bit */, false).isNull());
    }

    void kwinAnswers()
    {
        const QImage want = coordinates(QSize(40, 30));
        const QImage argb = want.convertToFormat(QImage::Format_ARGB32);
        const QByteArray bytes(reinterpret_cast<const char*>(argb.constBits()), int(argb.sizeInBytes()));
        QVariantMap results{{"type", "raw"}, {"width", 40u}, {"height", 30u},
                            {"stride", uint(argb.bytesPerLine())}, {"format", uint(QImage::Format_ARGB32)}};
        // The picture stays when the bytes it came from go.
        QString why;
        QByteArray copy(bytes.constData(), bytes.size()); // its own bytes, not shared with `bytes`
        const QImage got = kwinShotImage(results, copy, &why);
        copy.fill('\0');
        QCOMPARE(got.format(), QImage::Format_RGB32);
        QCOMPARE(got.pixel(39, 29), want.pixel(39, 29));
        // Fewer bytes than the answer promises, or an answer of another kind: no picture.
        QVERIFY(kwinShotImage(results, bytes.left(100), &why).isNull());
        results[QStringLiteral("type")] = QStringLiteral("png");
        QVERIFY(kwinShotImage(results, bytes, &why).isNull());
        QVERIFY(!why.isEmpty());
    }

    // A request from the tray has none of our windows on the screen: the grab starts at once, not
    // after the time given to redraw what they covered.
    void settleWithNothingToHideIsAtOnce()
    {
        ExposureSettle settle(5000);
        QElapsedTimer clock;
        bool hidden = false;
        bool settled = false;
        QObject::connect(&settle, &ExposureSettle::settled, [&] { settled = true; });
        clock.start();
        settle.start({}, [&] { hidden = true; }, QDeadlineTimer(10000));
        QVERIFY(hidden);
        QTRY_VERIFY_WITH_TIMEOUT(settled, 10000);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

    // A compositor that reads the screen serves each grab from a worker; once it fails, the
    // fallback takes that grab and every later one.
    void compositorGrabHandsOverToTheFallback()
    {
        struct Shot : CompositorShot {
            std::atomic<int> calls{0};
            std::atomic<bool> fails{false};
            QString name() const override { return QStringLiteral("test"); }
            QImage shoot(const QRect& area, QString* why) override
            {
                ++calls;
                if (fails) {
                    *why = QStringLiteral("refused");
                    return {};
                }
                return coordinates(area.size());
            }
        };
        auto shot = std::make_unique<Shot>();
        Shot* s = shot.get();
        auto fallback = std::make_unique<FallbackGrab>();
        FallbackGrab* f = fallback.get();
        CompositorGrab grab(std::move(shot), std::move(fallback), 0);
        QVERIFY(grab.capabilities().testFlag(ScreenGrab::ReadsOnWorker));
        QImage got = takeFrom(grab, QRect(0, 0, 64, 48));
        QCOMPARE(got.size(), QSize(64, 48));
        QCOMPARE(got.pixel(63, 47), at(63, 47));
        QCOMPARE(f->grabs, 0);
        s->fails = true;
        got = takeFrom(grab, QRect(0, 0, 64, 48));
        QCOMPARE(QColor(got.pixel(0, 0)), QColor(Qt::darkGray));
        QVERIFY(!grab.direct());
        s->fails = false;
        takeFrom(grab, QRect(0, 0, 64, 48));
        QCOMPARE(s->calls.load(), 2);
        QCOMPARE(f->grabs, 2);
    }
};

QTEST_MAIN(TestWayland)
#include "tst_wayland.moc"
