// The canvas document with no window at all: the picture under the drawing, resizing, the pen's
// joined segments, the changed rectangles the window repaints, the highlighter's area, and the
// text labels' indices.

#include "canvas/canvasdocument.h"

#include <QtTest>

namespace {

const QRgb Grey = qRgb(0x80, 0x80, 0x80);
const QRgb Red = qRgb(255, 0, 0);

// A 100 x 80 picture: white, with a blue column at x = 10.
Picture picture()
{
    QImage img(100, 80, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 0; y < 80; ++y)
        img.setPixel(10, y, qRgb(0, 0, 255));
    return Picture(img, {}, 96, 96);
}

int count(const QImage& img, const QRect& area, QRgb c)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += img.pixel(x, y) == c;
    return n;
}

} // namespace

class TestCanvasDocument : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pictureUnderTheDrawing();
    void onlyOneCopyOfTheScreenUntilDrawn();
    void penSegmentsJoinAndReportWhatChanged();
    void shapesReportWhatChanged();
    void highlighterStaysInItsArea();
    void textLabelsKeepTheirIndices();
};

void TestCanvasDocument::pictureUnderTheDrawing()
{
    CanvasDocument doc;
    QVERIFY(doc.image().isNull());
    doc.setPicture(picture(), QSize(150, 90), QColor(Grey));
    // The picture at the top-left corner, the background beyond it.
    QCOMPARE(doc.image().size(), QSize(150, 90));
    QCOMPARE(doc.image().pixel(10, 5), qRgb(0, 0, 255));
    QCOMPARE(doc.image().pixel(50, 50), qRgb(255, 255, 255));
    QCOMPARE(doc.image().pixel(120, 50), Grey);
    QCOMPARE(doc.image().pixel(50, 85), Grey);

    // A new size keeps the drawing where it was; the same size changes nothing.
    doc.line(QPointF(30, 30), QPointF(60, 30), QColor(Red), 3);
    doc.resize(QSize(200, 120), QColor(Grey));
    QCOMPARE(doc.image().size(), QSize(200, 120));
    QCOMPARE(doc.image().pixel(45, 30), Red);
    QCOMPARE(doc.image().pixel(10, 5), qRgb(0, 0, 255));
    QCOMPARE(doc.image().pixel(180, 100), Grey);
    const QImage before = doc.image();
    doc.resize(QSize(200, 120), QColor(Qt::black));
    QCOMPARE(doc.image(), before);
    doc.resize(QSize(), QColor(Qt::black)); // no size: nothing to show, the image stays
    QCOMPARE(doc.image(), before);

    // Assigning the picture again starts afresh: the drawing is gone.
    doc.setPicture(doc.picture(), QSize(200, 120), QColor(Grey));
    QCOMPARE(doc.image().pixel(45, 30), qRgb(255, 255, 255));
}

void TestCanvasDocument::onlyOneCopyOfTheScreenUntilDrawn()
{
    const Picture pic = picture();
    CanvasDocument doc;
    // Set while the window still has another size, then sized to the picture: one copy of it.
    doc.setPicture(pic, QSize(640, 480), QColor(Grey));
    doc.resize(QSize(100, 80), QColor(Grey));
    QCOMPARE(doc.image().constBits(), pic.image().constBits());
    // Drawing takes a copy of its own: the picture under it does not change.
    doc.line(QPointF(30, 30), QPointF(60, 30), QColor(Red), 3);
    QVERIFY(doc.image().constBits() != pic.image().constBits());
    QCOMPARE(pic.image().pixel(45, 30), qRgb(255, 255, 255));
    QCOMPARE(doc.image().pixel(45, 30), Red);
    // Once drawn on, a new size carries the drawing over.
    doc.resize(QSize(120, 90), QColor(Grey));
    QCOMPARE(doc.image().pixel(45, 30), Red);
    QCOMPARE(doc.image().pixel(110, 85), Grey);
    // Erasing shares the picture again.
    doc.setPicture(doc.picture(), QSize(100, 80), QColor(Grey));
    QCOMPARE(doc.image().constBits(), pic.image().constBits());
    // Let go of, neither is held any more.
    doc.releasePicture();
    QVERIFY(doc.picture().isNull());
    QVERIFY(doc.image().isNull());

    // Cleared without a picture, as before a capture: no image until something is drawn, then
    // one of the background at the canvas's size.
    doc.setPicture(Picture(), QSize(300, 200), QColor(Grey));
    doc.resize(QSize(320, 200), QColor(Grey));
    QVERIFY(doc.image().isNull());
    doc.line(QPointF(30, 30), QPointF(60, 30), QColor(Red), 3);
    QCOMPARE(doc.image().size(), QSize(320, 200));
    QCOMPARE(doc.image().pixel(45, 30), Red);
    QCOMPARE(doc.image().pixel(310, 190), Grey);
}

void TestCanvasDocument::penSegmentsJoinAndReportWhatChanged()
{
    CanvasDocument doc;
    doc.setPicture(picture(), QSize(100, 80), QColor(Grey));
    doc.setPenPosition(QPointF(20, 40));
    const QRect first = doc.penTo(QPointF(40, 40), QColor(Red), 4);
    const QRect second = doc.penTo(QPointF(40, 60), QColor(Red), 4);
    QCOMPARE(doc.penPosition(), QPointF(40, 60));
    // Each segment starts where the last one ended, and lies inside the rectangle it reports.
    QCOMPARE(doc.image().pixel(30, 40), Red);
    QCOMPARE(doc.image().pixel(40, 50), Red);
    QCOMPARE(count(doc.image(), doc.image().rect(), Red),
             count(doc.image(), first.united(second), Red));
    // The rectangle is the segment padded by half the width and two pixels, no more.
    QCOMPARE(first, QRect(16, 36, 28, 8));
    // Near the edge it is cut to the image.
    doc.setPenPosition(QPointF(98, 78));
    QCOMPARE(doc.penTo(QPointF(99, 79), QColor(Red), 10), QRect(QPoint(91, 71), QPoint(99, 79)));
}

void TestCanvasDocument::shapesReportWhatChanged()
{
    CanvasDocument doc;
    doc.setPicture(picture(), QSize(100, 80), QColor(Grey));
    // A line moves the pen to its end; the next pen segment joins it there.
    doc.line(QPointF(20, 10), QPointF(60, 10), QColor(Red), 2);
    QCOMPARE(doc.penPosition(), QPointF(60, 10));
    // A filled circle fills with its colour; an outlined one leaves the inside alone.
    const QRect solid = doc.circle(QPointF(30, 40), 10, 5, QColor(Red), true);
    QCOMPARE(doc.image().pixel(30, 40), Red);
    QVERIFY(solid.contains(QRect(20, 30, 21, 21)));
    QCOMPARE(count(doc.image(), solid, Red), count(doc.image(), QRect(15, 25, 31, 31), Red));
    const QRect ring = doc.circle(QPointF(75, 40), 10, 5, QColor(Red), false);
    QCOMPARE(doc.image().pixel(75, 40), qRgb(255, 255, 255));
    QVERIFY(ring.contains(QRect(65, 30, 21, 21)));
    // A box's rectangle covers its outline; the inside of an outlined box stays.
    const QRect box = doc.box(QPointF(20, 60), QPointF(50, 75), 5, QColor(Red), false);
    QVERIFY(box.contains(QRect(QPoint(17, 57), QPoint(53, 78)) & doc.image().rect()));
    QCOMPARE(doc.image().pixel(35, 67), qRgb(255, 255, 255));
}

void TestCanvasDocument::highlighterStaysInItsArea()
{
    CanvasDocument doc;
    doc.setPicture(picture(), QSize(100, 80), QColor(Grey));
    // Until a capture sizes the area, the highlighter has no block and changes nothing.
    const QImage before = doc.image();
    QCOMPARE(doc.highlight(QPointF(50, 40), QColor(Qt::yellow), 10), QRect());
    QCOMPARE(doc.image(), before);
    // Within the area: a square of side w centred on the point, white turned yellow, blue dark.
    doc.setHighlightArea(QSize(100, 80));
    QCOMPARE(doc.highlight(QPointF(50, 40), QColor(Qt::yellow), 10), QRect(45, 35, 10, 10));
    QCOMPARE(doc.image().pixel(45, 35), qRgb(255, 255, 0));
    QCOMPARE(doc.image().pixel(55, 40), qRgb(255, 255, 255));
    QCOMPARE(doc.highlight(QPointF(10, 40), QColor(Qt::yellow), 4), QRect(8, 38, 4, 4));
    QCOMPARE(doc.image().pixel(10, 39), qRgb(0, 0, 0));
    // The colour may change from one stamp to the next.
    doc.highlight(QPointF(80, 20), QColor(Qt::cyan), 6);
    QCOMPARE(doc.image().pixel(80, 20), qRgb(0, 255, 255));
    // A smaller area clips the block.
    doc.setHighlightArea(QSize(3, 3));
    QCOMPARE(doc.highlight(QPointF(30, 60), QColor(Qt::yellow), 10).size(), QSize(3, 3));
}

void TestCanvasDocument::textLabelsKeepTheirIndices()
{
    CanvasDocument doc;
    // The template: open, hidden, in the window's font and colour, which new labels copy.
    QCOMPARE(doc.labelCount(), 1);
    QVERIFY(doc.label(0)->open && !doc.label(0)->visible);
    QFont font;
    font.setFamily(QStringLiteral("Serif"));
    doc.setTemplateFormat(font, QColor(Qt::blue));
    QCOMPARE(doc.addLabel(), 1);
    doc.setLabelText(1, QStringLiteral("one"));
    doc.moveLabel(1, QPoint(5, 6));
    doc.setLabelVisible(1, true);
    const TextLabelData* one = doc.label(1);
    QCOMPARE(one->font.family(), QStringLiteral("Serif"));
    QCOMPARE(one->color, QColor(Qt::blue));
    QVERIFY(one->open);
    QCOMPARE(one->pos, QPoint(5, 6));
    QCOMPARE(doc.label(0)->text, QString()); // the template keeps its own
    // Formatting reports only a real change.
    QVERIFY(!doc.formatLabel(1, one->font, one->color));
    QVERIFY(doc.formatLabel(1, one->font, QColor(Qt::red)));
    QCOMPARE(doc.label(1)->color, QColor(Qt::red));
    QVERIFY(!doc.formatLabel(7, font, QColor(Qt::red)));
    // A deleted label leaves its slot: the next label gets a fresh index.
    QCOMPARE(doc.addLabel(), 2);
    doc.removeLabel(1);
    QVERIFY(!doc.label(1));
    QCOMPARE(doc.addLabel(), 3);
    doc.removeLabel(0); // never the template
    QVERIFY(doc.label(0));
    doc.setLabelText(1, QStringLiteral("gone")); // a deleted label takes nothing
    QVERIFY(!doc.label(1));
    // Blanking empties and hides them all and keeps them; clearing keeps only the template.
    doc.setLabelText(3, QStringLiteral("three"));
    doc.setLabelVisible(3, true);
    doc.blankLabels();
    QCOMPARE(doc.labelCount(), 4);
    QCOMPARE(doc.label(3)->text, QString());
    QVERIFY(!doc.label(3)->visible);
    doc.removeLabels();
    QCOMPARE(doc.labelCount(), 1);
    QCOMPARE(doc.addLabel(), 1);
}

QTEST_GUILESS_MAIN(TestCanvasDocument)
#include "tst_canvasdocument.moc"
