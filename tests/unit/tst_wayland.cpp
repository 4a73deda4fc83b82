// The Wayland backend's pure parts: which session is Wayland, where the primary screen lies in a
// portal screenshot, the shortcut's trigger, the request paths, the one-time notices, and how the
// grab falls back when the portal fails.

#include "platform/notices.h"
#include "platform/portal/portalrequest.h"
#include "platform/portal/portalscreenshot.h"
#include "platform/portal/portalshortcuts.h"
#include "platform/session.h"

#include <QPainter>
#include <QtTest>

namespace {

// A desktop picture whose every pixel tells where it came from: red = x, green = y (mod 256),
// blue = x / 256 + 16 * (y / 256).
QImage coordinates(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb(x % 256, y % 256, x / 256 + 16 * (y / 256)));
    return img;
}

QRgb at(int x, int y)
{
    return qRgb(x % 256, y % 256, x / 256 + 16 * (y / 256));
}

// The grab that stands in when the portal fails: a flat colour, counted.
struct FallbackGrab : ScreenGrab {
    int grabs = 0;
    Capabilities capabilities() const override { return {}; }
    void settle(const QList<QWindow*>&, const std::function<void()>& hide, QDeadlineTimer) override
    {
        hide();
    }
    void cancelSettle() override {}
    CapturedBitmap waitForGrab(quint64) override { return {}; }
    void grab(quint64 ticket, const QRect& area) override
    {
        ++grabs;
        CapturedBitmap b;
        b.image = QImage(area.size(), QImage::Format_RGB32);
        b.image.fill(Qt::darkGray);
        QMetaObject::invokeMethod(this, [this, ticket, b] { Q_EMIT grabbed(ticket, b); },
                                  Qt::QueuedConnection);
    }
};

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
        notices->setSink([this](const QString& t) { told << t; });
        grab = std::make_unique<PortalGrab>(
            std::move(f), notices,
            [this](QObject* context, std::function<void(const PortalShot&)> done) {
                const PortalShot shot = answers.at(std::min<int>(shots++, answers.size() - 1));
                QMetaObject::invokeMethod(context, [done, shot] { done(shot); },
                                          Qt::QueuedConnection);
            },
            [] { return QRect(0, 0, 300, 200); }, [] { return QRect(0, 0, 300, 200); });
    }
    // The picture of one grab of the whole screen.
    QImage take()
    {
        QImage got;
        QObject::connect(grab.get(), &ScreenGrab::grabbed, grab.get(),
                         [&](quint64, const CapturedBitmap& b) { got = b.image; });
        grab->grab(1, QRect(0, 0, 300, 200));
        QDeadlineTimer limit(2000);
        while (got.isNull() && !limit.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QObject::disconnect(grab.get(), &ScreenGrab::grabbed, grab.get(), nullptr);
        return got;
    }
};

PortalShot granted(QSize size)
{
    return {coordinates(size), PortalAnswer::Granted, {}};
}

PortalShot failing(PortalAnswer::Kind kind)
{
    return {{}, kind, QStringLiteral("no")};
}

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
        QTest::newRow("x11") << "x11" << "" << false;
        QTest::newRow("wayland type") << "wayland" << "" << true;
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
        QTest::newRow("one output") << QRect(0, 0, 640, 400) << QRect(0, 0, 640, 400) << QRect(0, 0, 640, 400);
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
        QTest::newRow("V") << quint32(MOD_WIN_FLAG) << quint32('V') << "LOGO+v";
        QTest::newRow("digit") << quint32(MOD_WIN_FLAG) << quint32('7') << "LOGO+7";
        QTest::newRow("ctrl too") << quint32(MOD_WIN_FLAG | 2) << quint32('A') << "CTRL+LOGO+a";
        QTest::newRow("no name") << quint32(MOD_WIN_FLAG) << quint32(',') << "";
    }
    void shortcutTrigger()
    {
        QFETCH(quint32, modifiers);
        QFETCH(quint32, vk);
        QFETCH(QString, trigger);
        QCOMPARE(::shortcutTrigger(modifiers, vk), trigger);
    }

    void requestPaths()
    {
        QCOMPARE(portalRequestPath(QStringLiteral(":1.42"), QStringLiteral("scrawlix3")),
                 QStringLiteral("/org/freedesktop/portal/desktop/request/1_42/scrawlix3"));
        QCOMPARE(portalSessionPath(QStringLiteral(":1.7"), QStringLiteral("s")),
                 QStringLiteral("/org/freedesktop/portal/desktop/session/1_7/s"));
        QVERIFY(portalToken() != portalToken());
        QVERIFY(isMissingPortalError(QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown")));
        QVERIFY(isMissingPortalError(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod")));
        QVERIFY(!isMissingPortalError(QStringLiteral("org.freedesktop.DBus.Error.NoReply")));
    }

    void noticesAreToldOnceAndWaitForTheSink()
    {
        Notices n;
        n.tellOnce(QStringLiteral("a"), QStringLiteral("first"));
        n.tellOnce(QStringLiteral("a"), QStringLiteral("again"));
        QStringList told;
        n.setSink([&](const QString& t) { told << t; });
        QCOMPARE(told, QStringList{QStringLiteral("first")});
        n.tellOnce(QStringLiteral("b"), QStringLiteral("second"));
        n.tellOnce(QStringLiteral("a"), QStringLiteral("third"));
        QCOMPARE(told, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    }

    void screenComesFromThePortal()
    {
        Reader r({granted(QSize(300, 200))});
        const QImage screen = r.take();
        QCOMPARE(r.shots, 1);
        QCOMPARE(r.fallback->grabs, 0);
        QCOMPARE(QColor(screen.pixel(299, 199)), QColor(at(299, 199)));
        QVERIFY(r.told.isEmpty());
    }

    void refusedPortalFallsBackAndTellsOnce()
    {
        Reader r({failing(PortalAnswer::Refused), granted(QSize(300, 200))});
        QImage b = r.take();
        QCOMPARE(r.fallback->grabs, 1);
        QCOMPARE(b.size(), QSize(300, 200));
        QCOMPARE(r.told.size(), 1);
        // A refusal may be lifted: the next capture asks again.
        b = r.take();
        QCOMPARE(r.shots, 2);
        QCOMPARE(QColor(b.pixel(10, 10)), QColor(at(10, 10)));
        QCOMPARE(r.told.size(), 1);
    }

    void missingPortalIsNotAskedAgain()
    {
        Reader r({failing(PortalAnswer::Missing)});
        for (int i = 0; i < 3; ++i)
            r.take();
        QCOMPARE(r.shots, 1);
        QCOMPARE(r.fallback->grabs, 3);
        QCOMPARE(r.told.size(), 1);
    }
};

QTEST_MAIN(TestWayland)
#include "tst_wayland.moc"
