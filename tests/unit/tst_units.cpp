// Pure conversions: rounding, twips, HIMETRIC, the setting rows and stored-value parsing, the
// platform choice, and a picture's place on the printed page.

#include "canvas/colortable.h"
#include "imaging/printing.h"
#include "platform/platform.h"
#include "platform/units.h"
#include "settings/settingtable.h"

#include <QSet>

#include <QtTest>

class TestUnits : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundsHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<long long>("expected");
        QTest::newRow("97.5") << 97.5 << 98LL;
        QTest::newRow("98.5") << 98.5 << 98LL;
        QTest::newRow("0.5") << 0.5 << 0LL;
        QTest::newRow("1.5") << 1.5 << 2LL;
        QTest::newRow("-2.5") << -2.5 << -2LL;
    }

    void roundsHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(long long, expected);
        QCOMPARE(units::roundHalfEven(value), expected);
    }

    void twipsAndHimetric()
    {
        QCOMPARE(units::himetricToTwips(-27093), units::himetricToTwips(27093));
        // On a scaled desktop a picture comes back at its own size in pixels: 1918 pixels at 144 dpi
        // (10 twips a pixel) and at 120 dpi (12 twips a pixel).
        QCOMPARE(units::twipsToPixels(units::himetricToTwips(units::pixelsToHimetric(1918, 144)), 10), 1918);
        QCOMPARE(units::twipsToPixels(units::himetricToTwips(units::pixelsToHimetric(3838, 120)), 12), 3838);
        QCOMPARE(units::toInt16(734.5), std::int16_t(734));
        QCOMPARE(units::toInt16(1e9), std::int16_t(32767));
        QCOMPARE(units::twipsRectToPixels(120, 600, 1935, 255, 15, 15), QRect(8, 40, 129, 17));
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("fill");
        QTest::newRow("plain") << "1" << 1 << 1 << 1 << 1;
        QTest::newRow("blanks") << " 2 " << 2 << 2 << 2 << 2;
        QTest::newRow("empty") << "" << 25 << 8 << 0 << 1;
        QTest::newRow("zero") << "0" << 25 << 0 << 0 << 1;
        QTest::newRow("top of lists") << "20" << 20 << 20 << 0 << 1;
        QTest::newRow("sign") << "+3" << 25 << 8 << 0 << 1;
        QTest::newRow("overflow") << "4294967297" << 25 << 8 << 0 << 1;
        QTest::newRow("hundred") << "100" << 100 << 8 << 0 << 1;
    }

    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, size);
        QFETCH(int, color);
        QFETCH(int, tool);
        QFETCH(int, fill);
        const SettingTable& s = settingTable();
        QCOMPARE(s.PenSize.number(text), size);
        QCOMPARE(s.PenColor.number(text), color);
        QCOMPARE(s.Tool.number(text), tool);
        QCOMPARE(s.Fill.number(text), fill);
    }

    void fontAndRunOnStartup()
    {
        // A font index within the list, none without fonts; start with the system only for "1".
        const SettingTable& s = settingTable();
        QCOMPARE(s.Font.position(QStringLiteral("3"), 3), 0);
        QCOMPARE(s.Font.position(QStringLiteral("2"), 3), 2);
        QCOMPARE(s.Font.position(QStringLiteral("0"), 0), -1);
        QCOMPARE(s.RunOnStartup.number(QStringLiteral("1")), 1);
        QCOMPARE(s.RunOnStartup.number(QStringLiteral("0")), 0);
        QCOMPARE(s.RunOnStartup.number(QString()), 0);
        QCOMPARE(s.RunOnStartup.number(QStringLiteral("yes")), 0);
    }

    void settingRows()
    {
        // A default that its own key does not accept would be seeded, then ignored at every start;
        // a seeded key without a default would be seeded as absent, and two rows of one key would
        // overwrite each other.
        QSet<QString> keys;
        for (const Setting* row : settingTable().rows()) {
            QVERIFY2(row->fallback.isEmpty() || row->accepts(row->fallback), qPrintable(row->key));
            QVERIFY2(row->seeding == Seeding::Never || !row->fallback.isEmpty(), qPrintable(row->key));
            QVERIFY2(!keys.contains(row->key), qPrintable(row->key));
            keys.insert(row->key);
        }
    }

    void colorTable()
    {
        ColorTable table;
        InitColorTable(table);
        // Values are 0x00BBGGRR; what does not read as one is black.
        QCOMPARE(bgrFromColor(QColor(1, 2, 3)), 0x030201u);
        table[20] = QStringLiteral("garbage");
        QCOMPARE(colorTableValue(table, 20), 0u);
        QCOMPARE(colorTableValue(table, -1), 0u);
    }

    void platformChoice()
    {
        // An explicit non-Wayland choice is kept; an explicit Wayland one runs on XWayland.
        PlatformChoice c = choosePlatform("offscreen", "", "", false);
        QVERIFY(c.error.isEmpty());
        QVERIFY(c.qpaPlatform.isEmpty());
        c = choosePlatform("wayland", ":1", "wayland-0", false);
        QCOMPARE(c.qpaPlatform, QStringLiteral("xcb"));
    }

    void printLayout_data()
    {
        // Where a picture goes on the page and which way the page turns; printing itself, through
        // QPrinter, is tried with a real CUPS server by the end-to-end tests.
        QTest::addColumn<QSize>("picture"); // all in HIMETRIC
        QTest::addColumn<QSizeF>("area");
        QTest::addColumn<QSizeF>("printed"); // empty: nothing is printed
        QTest::addColumn<int>("orientation");
        // Snapshots at 96 dpi. 1022 x 766 on a landscape sheet is relatively higher than the area.
        QTest::newRow("1022 x 766 snapshot")
            << QSize(27040, 20267) << QSizeF(27700, 19000) << QSizeF(25349.584f, 19000) << orientation::Landscape;
        QTest::newRow("600 x 800 snapshot")
            << QSize(15875, 21167) << QSizeF(27000, 20000) << QSizeF(14999.7637f, 20000) << orientation::Portrait;
        QTest::newRow("square") << QSize(13229, 13229) << QSizeF(19000, 27700) << QSizeF(19000, 19000) << orientation::Portrait;
        QTest::newRow("zero-height picture") << QSize(20000, 0) << QSizeF(27000, 20000) << QSizeF() << orientation::Landscape;
    }

    void printLayout()
    {
        QFETCH(QSize, picture);
        QFETCH(QSizeF, area);
        QFETCH(QSizeF, printed);
        QFETCH(int, orientation);
        const auto out = fitToPrintableArea(picture.width(), picture.height(), float(area.width()),
                                            float(area.height()));
        QCOMPARE(out ? QSizeF(out->width, out->height) : QSizeF(), printed);
        QCOMPARE(orientationForPicture(picture.width(), picture.height()), orientation);
    }
};

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
