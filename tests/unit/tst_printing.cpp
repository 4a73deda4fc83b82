// Printing: where a picture goes on the page and which way the page turns. Printing itself, through
// QPrinter, is tried with a real CUPS server by the end-to-end tests.

#include "imaging/printing.h"

#include <QtTest>

class TestPrinting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layout_data();
    void layout();
};

void TestPrinting::layout_data()
{
    QTest::addColumn<QSize>("picture"); // all in HIMETRIC
    QTest::addColumn<QSizeF>("area");
    QTest::addColumn<QSizeF>("printed"); // empty: nothing is printed
    QTest::addColumn<int>("orientation");
    QTest::newRow("wide picture fills the width")
        << QSize(20000, 10000) << QSizeF(27000, 20000) << QSizeF(27000, 13500) << orientation::Landscape;
    QTest::newRow("tall picture fills the height")
        << QSize(10000, 20000) << QSizeF(20000, 27000) << QSizeF(13500, 27000) << orientation::Portrait;
    // Snapshots at 96 dpi. 1022 x 766 on a landscape sheet is relatively higher than the area.
    QTest::newRow("1022 x 766 snapshot")
        << QSize(27040, 20267) << QSizeF(27700, 19000) << QSizeF(25349.584f, 19000) << orientation::Landscape;
    QTest::newRow("600 x 800 snapshot")
        << QSize(15875, 21167) << QSizeF(27000, 20000) << QSizeF(14999.7637f, 20000) << orientation::Portrait;
    QTest::newRow("square") << QSize(13229, 13229) << QSizeF(19000, 27700) << QSizeF(19000, 19000) << orientation::Portrait;
    QTest::newRow("zero-height picture") << QSize(20000, 0) << QSizeF(27000, 20000) << QSizeF() << orientation::Landscape;
}

void TestPrinting::layout()
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

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
