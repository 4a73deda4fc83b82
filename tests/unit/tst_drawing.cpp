// Drawing on the canvas image with every tool, read back pixel by pixel, and the text tool.

#include "canvas/drawing.h"
#include "canvas/labels.h"
#include "canvas/mousedrawing.h"
#include "canvas/textentry.h"
#include "canvas/texttool.h"
#include "canvas/tools.h"
#include "shell/toolselection.h"
#include "canvas/frmmain.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"
#include "ui/widgets.h"

#include <QToolButton>
#include <QtTest>

namespace {

constexpr int Red = 4, Yellow = 8, Black = 0, White = 1;

// A started program whose canvas shows a white 400 x 300 picture at (0, 0).
struct Canvas : StartedProgram {
    Canvas()
    {
        QImage white(400, 300, QImage::Format_RGB32);
        white.fill(Qt::white);
        canvas()->setCanvasGeometry(QRect(0, 0, 400, 300));
        canvas()->setPicture(Picture(white, {}, 96, 96));
        canvas()->showCanvas();
        canvas()->document().setHighlightArea(QSize(400, 300)); // as a capture sizes it
    }
    void use(int tool, int size, int color)
    {
        SelectTool(*program, static_cast<std::int16_t>(tool));
        named<ComboList>(toolbox(), "cboSize")->setListIndex(size - 1);
        named<ComboList>(toolbox(), "cboColor")->setListIndex(color);
    }
    QRgb at(int x, int y) { return canvas()->image().pixel(x, y); }
    void press(float x, float y, int button = 1) { Form_MouseDown(*canvas(), button, 0, x, y); }
    // Counts the pixels of a colour along a row or a column, between two positions.
    int countRow(int y, int x0, int x1, QRgb c)
    {
        int n = 0;
        for (int x = x0; x <= x1; ++x)
            n += at(x, y) == c;
        return n;
    }
    int countColumn(int x, int y0, int y1, QRgb c)
    {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            n += at(x, y) == c;
        return n;
    }
};

const QRgb RedPx = qRgb(255, 0, 0);
const QRgb WhitePx = qRgb(255, 255, 255);

} // namespace

class TestDrawing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void circleRadiusAndOutline_data();
    void circleRadiusAndOutline();
    void solidCircleAndRectangle();
    void rectangleOutlineIsFiveAtAnySize();
    void lineWidthIsTheSize_data();
    void lineWidthIsTheSize();
    void firstPointAtXOneIsForgotten();
    void rectangleCornerThenLineDrawsALine();
    void highlighterAndsTheColour();
    void buttonsOnPressAndMove();
    void focusMovesDoNotRepaintTheCanvas();
    void strokeStartingOnALabel();
    void typingMakesLines();
    void liveFormattingUntilFinished();
    void deletingLabels();
    void textPlacementAndTheTimer();
    void cursorComesFromMouseEvents();
};

void TestDrawing::circleRadiusAndOutline_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("size 1") << 1;
    QTest::newRow("size 8") << 8;
}

void TestDrawing::circleRadiusAndOutline()
{
    QFETCH(int, size);
    Canvas c;
    c.use(ToolCircle, size, Red);
    const int cx = 200, cy = 150, r = 10 * size;
    c.press(cx, cy);
    // Along the ray to the right: a 5-pixel band centred on the radius, white inside and out.
    QCOMPARE(c.countRow(cy, cx, cx + r + 10, RedPx), 5);
    int first = cx;
    while (c.at(first, cy) != RedPx)
        ++first;
    QVERIFY2(qAbs(first + 2 - (cx + r)) <= 1, "the band lies on the radius");
    QCOMPARE(c.countRow(cy, first, first + 4, RedPx), 5);
    QCOMPARE(c.at(cx, cy), WhitePx);
    QCOMPARE(c.countColumn(cx, cy - r - 10, cy, RedPx), 5);
    QCOMPARE(c.canvas()->attributes().size, size); // the pen width comes back after the outline
}

void TestDrawing::solidCircleAndRectangle()
{
    Canvas c;
    c.use(ToolCircle, 3, Red);
    named<ToolBar>(c.toolbox(), "tlbr_filled")->button(2)->click();
    c.press(100, 100);
    QCOMPARE(c.at(100, 100), RedPx);
    QCOMPARE(c.at(100 + 28, 100), RedPx);
    QCOMPARE(c.at(100 + 34, 100), WhitePx);
    c.use(ToolRectangle, 3, Red);
    c.press(250, 50);
    c.press(300, 90);
    QCOMPARE(c.at(275, 70), RedPx);
}

void TestDrawing::rectangleOutlineIsFiveAtAnySize()
{
    for (int size : {1, 40}) {
        Canvas c;
        c.use(ToolRectangle, size, Red);
        c.press(100, 100);
        QCOMPARE(c.at(100, 100), WhitePx); // the first corner draws nothing
        c.press(300, 200);
        QCOMPARE(c.countRow(150, 90, 150, RedPx), 5);
        QCOMPARE(c.countRow(150, 250, 310, RedPx), 5);
        QCOMPARE(c.countColumn(200, 90, 150, RedPx), 5);
        QCOMPARE(c.at(200, 150), WhitePx);
        QCOMPARE(c->drawing.AnchorX, 1.0f);
        QCOMPARE(c->drawing.AnchorY, std::int16_t(1));
    }
}

void TestDrawing::lineWidthIsTheSize_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("1") << 1;
    QTest::newRow("4") << 4;
    QTest::newRow("9") << 9;
}

void TestDrawing::lineWidthIsTheSize()
{
    QFETCH(int, size);
    Canvas c;
    c.use(ToolLine, size, Red);
    c.press(50, 150);
    c.press(350, 150);
    QCOMPARE(c.countColumn(200, 100, 200, RedPx), size);
    c.press(200, 20);
    c.press(200, 280); // vertical
    QCOMPARE(c.countRow(120, 150, 250, RedPx), size);
}

void TestDrawing::firstPointAtXOneIsForgotten()
{
    Canvas c;
    c.use(ToolLine, 3, Red);
    c.press(1, 100);
    QCOMPARE(c->drawing.AnchorX, 1.0f);
    c.press(100, 100); // taken as a first point again
    QCOMPARE(c->drawing.AnchorX, 100.0f);
    QCOMPARE(c.countRow(100, 0, 399, RedPx), 0);
    c.press(200, 100.5f);
    QCOMPARE(c.at(50, 100), WhitePx);
    QCOMPARE(c.at(150, 100), RedPx);
    QVERIFY(c.countRow(100, 0, 399, RedPx) <= 104);
}

void TestDrawing::rectangleCornerThenLineDrawsALine()
{
    Canvas c;
    c.use(ToolRectangle, 2, Red);
    c.press(40, 60);
    QCOMPARE(c->drawing.AnchorY, std::int16_t(60));
    SelectTool(*c, ToolLine);
    c.press(240, 60);
    QCOMPARE(c.countColumn(140, 50, 70, RedPx), 2);
    QCOMPARE(c.countColumn(40, 40, 80, RedPx) <= 3, true); // no box edge
}

void TestDrawing::highlighterAndsTheColour()
{
    Canvas c;
    QImage bg(400, 300, QImage::Format_RGB32);
    bg.fill(Qt::white);
    for (int y = 0; y < 300; ++y) {
        for (int x = 100; x < 200; ++x)
            bg.setPixel(x, y, qRgb(0, 0, 0));
        for (int x = 200; x < 300; ++x)
            bg.setPixel(x, y, qRgb(0x80, 0xC0, 0xFF));
    }
    c.canvas()->setPicture(Picture(bg, {}, 96, 96));
    c.use(ToolHighlighter, 10, Yellow);
    c.press(50, 50);
    for (int x : {50, 150, 250}) {
        Form_MouseMove(*c.canvas(), 1, 0, x, 150);
        Form_MouseMove(*c.canvas(), 1, 0, x, 150); // twice over the same spot changes nothing more
    }
    QCOMPARE(c.at(50, 150), qRgb(255, 255, 0));
    QCOMPARE(c.at(150, 150), qRgb(0, 0, 0));
    QCOMPARE(c.at(250, 150), qRgb(0x80, 0xC0, 0x00));
    QCOMPARE(c.at(50, 160), WhitePx); // a square of side 10 around the point
    QCOMPARE(c.countRow(150, 20, 80, qRgb(255, 255, 0)), 10);
    // White highlights nothing; black blackens the square.
    c.use(ToolHighlighter, 4, White);
    c.press(0, 0);
    Form_MouseMove(*c.canvas(), 1, 0, 250, 50);
    QCOMPARE(c.at(250, 50), qRgb(0x80, 0xC0, 0xFF));
    c.use(ToolHighlighter, 4, Black);
    c.press(0, 0);
    Form_MouseMove(*c.canvas(), 1, 0, 50, 250);
    QCOMPARE(c.at(50, 250), qRgb(0, 0, 0));
    Form_MouseUp(*c.canvas(), 1, 0, 0, 0);
    QCOMPARE(c->drawing.StrokeTool, std::int16_t(0));
    // The square's edges round halves to even: 97.5 and 98.5 both give 98.
    QCOMPARE(stampEdge(100, 5), 98);
    QCOMPARE(stampEdge(101, 5), 98);
    QCOMPARE(stampEdge(102, 5), 100);
}

void TestDrawing::buttonsOnPressAndMove()
{
    Canvas c;
    c.use(ToolCircle, 2, Red);
    c.press(100, 100, 2); // the right button draws as the left does
    QCOMPARE(c.at(120, 100), RedPx);
    c.use(ToolPen, 3, Red);
    c->drawing.CursorPos = QPoint(300, 50);
    c.press(300, 50);
    Form_MouseMove(*c.canvas(), 1 | 2, 0, 350, 50); // left plus right: nothing
    QCOMPARE(c.at(325, 50), WhitePx);
    Form_MouseMove(*c.canvas(), 1, 1, 350, 50); // Shift held: draws
    QCOMPARE(c.at(325, 50), RedPx);
    SelectTool(*c, ToolCircle); // the stroke keeps the mouse until the release
    Form_MouseMove(*c.canvas(), 1, 0, 350, 100);
    QCOMPARE(c.at(350, 75), RedPx);
    Form_MouseUp(*c.canvas(), 1, 0, 350, 50);
    QCOMPARE(c->drawing.StrokeTool, std::int16_t(0));
    Form_MouseMove(*c.canvas(), 1, 0, 380, 80); // no stroke after the release
    QCOMPARE(c.at(365, 65), WhitePx);
}

void TestDrawing::focusMovesDoNotRepaintTheCanvas()
{
    // Each click between canvas and toolbox moves the focus; on a large screen a repaint of the
    // whole canvas for it would hold the program up for a noticeable time.
    Canvas c;
    c.toolbox()->show();
    QVERIFY(QTest::qWaitForWindowExposed(c.canvas()));
    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } count;
    for (int i = 0; i < 2; ++i) {
        c.canvas()->activateWindow();
        QTRY_VERIFY(c.canvas()->hasFocus());
        c.toolbox()->activateWindow();
        QTRY_VERIFY(!c.canvas()->hasFocus());
        if (i == 0) {
            QCoreApplication::processEvents(); // what the first showing asked for
            c.canvas()->installEventFilter(&count);
        }
    }
    QCoreApplication::processEvents();
    QCOMPARE(count.paints, 0);
}

void TestDrawing::strokeStartingOnALabel()
{
    Canvas c;
    c.use(ToolText, 12, Black);
    c.press(100, 100);
    QTest::keyClicks(c.canvas()->entryBox(), QStringLiteral("label"));
    c.use(ToolPen, 4, Red);
    // Press on the label, move across it and on over the canvas: one joined stroke. The label's
    // events take the cursor's position at each event.
    TextLabel* label = c.canvas()->labels().at(1);
    c.fake->fakeCursor->pos = QPoint(105, 105);
    Q_EMIT label->mousePressed(Qt::LeftButton);
    QCOMPARE(c->drawing.StrokeTool, std::int16_t(ToolPen));
    c.fake->fakeCursor->pos = QPoint(200, 105);
    Q_EMIT label->mouseMoved(Qt::LeftButton);
    QCOMPARE(c.at(150, 105), RedPx);
    Form_MouseMove(*c.canvas(), 1, 0, 250, 105);
    QCOMPARE(c.at(225, 105), RedPx);
    Q_EMIT label->mouseReleased(Qt::LeftButton);
    QCOMPARE(c->drawing.StrokeTool, std::int16_t(0));
    // With the circle tool a press on a label draws nothing and starts no stroke.
    c.use(ToolCircle, 2, Red);
    Q_EMIT label->mousePressed(Qt::LeftButton);
    Q_EMIT label->mouseMoved(Qt::LeftButton);
    QCOMPARE(c->drawing.StrokeTool, std::int16_t(0));
    QCOMPARE(c.at(105, 125), WhitePx);
}

void TestDrawing::typingMakesLines()
{
    Canvas c;
    c.use(ToolText, 10, Black);
    c.press(60, 80);
    TextEntryBox* box = c.canvas()->entryBox();
    QTest::keyClicks(box, QStringLiteral("ab"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, QStringLiteral("c"));
    QCOMPARE(c.canvas()->labels().at(1)->text(), QStringLiteral("ab\nc"));
    QVERIFY(box->isVisible()); // Enter alone does not finish
    QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(box->isVisible());
    QCOMPARE(c.canvas()->labels().at(1)->borderStyle(), 1);
    // A second placement finishes the first and takes the box, emptied.
    c.press(200, 200);
    QCOMPARE(c.canvas()->labels().at(1)->borderStyle(), 0);
    QCOMPARE(c.canvas()->labels().at(2)->borderStyle(), 1);
    QCOMPARE(box->toPlainText(), QString());
    QCOMPARE(box->pos(), QPoint(200 - 153 - 10, 200 - 49 - 10));
}

void TestDrawing::liveFormattingUntilFinished()
{
    Canvas c;
    c.use(ToolText, 12, Red);
    c.press(60, 80);
    QTest::keyClicks(c.canvas()->entryBox(), QStringLiteral("hi"));
    TextLabel* label = c.canvas()->labels().at(1);
    named<ToolBar>(c.toolbox(), "tlbr_fontstyle")->button(1)->click();
    named<ComboList>(c.toolbox(), "cboSize")->setListIndex(19);
    tmrTimer_Timer(*c.canvas());
    // The label's text shows in the palette colour.
    const QImage shown = label->grab().toImage();
    bool red = false;
    for (int y = 0; y < shown.height() && !red; ++y)
        for (int x = 0; x < shown.width() && !red; ++x)
            red = shown.pixelColor(x, y) == QColor(255, 0, 0);
    QVERIFY(red);
    QCOMPARE(label->font().pointSize(), 20);
    QVERIFY(label->font().bold());
    QCOMPARE(label->font().family(), named<ComboList>(c.toolbox(), "cboTextFont")->currentText());
    // Switching tools does not finish the label.
    SelectTool(*c, ToolCircle);
    named<ComboList>(c.toolbox(), "cboColor")->setListIndex(14);
    tmrTimer_Timer(*c.canvas());
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    // Another font and italic reach the open label at the next tick too.
    ComboList* fonts = named<ComboList>(c.toolbox(), "cboTextFont");
    QVERIFY(fonts->count() > 1);
    fonts->setListIndex(1);
    named<ToolBar>(c.toolbox(), "tlbr_fontstyle")->button(2)->click();
    tmrTimer_Timer(*c.canvas());
    QCOMPARE(label->font().family(), fonts->itemText(1));
    QVERIFY(label->font().italic() && label->font().bold());
    QTest::keyClick(c.canvas()->entryBox(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(label->borderStyle(), 0);
    QVERIFY(!c.canvas()->entryBox()->isVisible());
    QCOMPARE(c->drawing.CurrentTool, std::int16_t(ToolPen));
    QCOMPARE(named<ToolBar>(c.toolbox(), "tlbr_mode")->pressedIndex(), 1);
    QCOMPARE(label->text(), QStringLiteral("hi"));
    named<ComboList>(c.toolbox(), "cboColor")->setListIndex(Yellow);
    named<ComboList>(c.toolbox(), "cboSize")->setListIndex(4);
    tmrTimer_Timer(*c.canvas());
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(label->font().pointSize(), 20);
}

void TestDrawing::deletingLabels()
{
    Canvas c;
    c.use(ToolText, 10, Black);
    for (int i = 0; i < 3; ++i) {
        c.press(30 + 100 * i, 120);
        QTest::keyClicks(c.canvas()->entryBox(), QString::number(i + 1));
    }
    const LabelArray& labels = c.canvas()->labels();
    // A finished label goes; the entry box stays.
    lblText_DblClick(*c.canvas(), 2);
    QVERIFY(!labels.at(2));
    QVERIFY(c.canvas()->entryBox()->isVisible());
    // Placing again after a deletion in the middle opens a fresh label and finishes the open one.
    c.press(100, 250);
    TextLabel* fresh = labels.at(c->drawing.NextLabelIndex - 1);
    QVERIFY(fresh && fresh != labels.at(3));
    QCOMPARE(labels.at(3)->borderStyle(), 0);
    QTest::keyClicks(c.canvas()->entryBox(), QStringLiteral("new"));
    QCOMPARE(fresh->text(), QStringLiteral("new"));
    QCOMPARE(labels.at(1)->text(), QStringLiteral("1"));
    QCOMPARE(labels.at(3)->text(), QStringLiteral("3"));
    // The open label goes, with the entry box; the timer then has nothing to format.
    lblText_DblClick(*c.canvas(), c->drawing.NextLabelIndex - 1);
    QVERIFY(!c.canvas()->entryBox()->isVisible());
    tmrTimer_Timer(*c.canvas());
    c.press(300, 250);
    QTest::keyClicks(c.canvas()->entryBox(), QStringLiteral("again"));
    QCOMPARE(labels.at(c->drawing.NextLabelIndex - 1)->text(), QStringLiteral("again"));
}

void TestDrawing::textPlacementAndTheTimer()
{
    Canvas c;
    FrmMain* canvas = c.canvas();
    QTest::qWait(5);
    QVERIFY2(!canvas->timerRunning(), "a canvas with no open label needs no ticks");

    // A click opens a bordered label there; the template stays hidden. The entry box goes above
    // and left of it, and the timer, which runs while a label is open, pulls it onto the screen.
    c.use(ToolText, 10, Black);
    c.press(5, 5);
    QVERIFY(canvas->timerRunning());
    QCOMPARE(c->drawing.NextLabelIndex, std::int16_t(2));
    TextLabel* label = canvas->labels().at(1);
    QVERIFY(label);
    QCOMPARE(label->pos(), QPoint(5, 5));
    QCOMPARE(label->borderStyle(), 1);
    QVERIFY(!canvas->labels().at(0)->isVisible());
    QCOMPARE(canvas->labels().at(0)->borderStyle(), 0);
    TextEntryBox* box = canvas->entryBox();
    QCOMPARE(box->pos(), QPoint(5 - box->width() - 10, 5 - box->height() - 10));
    QCOMPARE(box->size(), QSize(153, 49));
    QTRY_COMPARE(box->pos(), QPoint(150, 150));
    // The label follows the toolbox with no other help.
    named<ComboList>(c.toolbox(), "cboColor")->setListIndex(Red);
    QTRY_COMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(canvas->timerRunning());

    // Hidden, the canvas rests; shown again with the label still open, it ticks again.
    canvas->hide();
    QVERIFY(!canvas->timerRunning());
    canvas->showCanvas();
    QTRY_VERIFY(canvas->timerRunning());

    // Finished, nothing is left to do.
    QTest::keyClick(canvas->entryBox(), Qt::Key_Return, Qt::ShiftModifier);
    QTRY_VERIFY(!canvas->timerRunning());

    // The same when the open label is deleted instead.
    c.use(ToolText, 10, Black);
    c.press(200, 200);
    QVERIFY(canvas->timerRunning());
    lblText_DblClick(*canvas, c->drawing.NextLabelIndex - 1);
    QTRY_VERIFY(!canvas->timerRunning());
}

void TestDrawing::cursorComesFromMouseEvents()
{
    Canvas c;
    FrmMain* canvas = c.canvas();
    c.use(ToolPen, 3, Red);
    // The platform's cursor is far off: only the events can put the stroke where it is drawn.
    c.fake->fakeCursor->pos = QPoint(390, 290);
    QTest::mouseMove(canvas, QPoint(50, 60));
    QCOMPARE(c->drawing.CursorPos, QPoint(50, 60));
    // The first segment starts where the button went down.
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(150, 100), canvas->mapToGlobal(QPointF(150, 100)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    QCOMPARE(c.at(100, 100), RedPx);
    QCOMPARE(c.at(125, 100), RedPx);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(150, 100));

    // Over a captured window the position is relative to the canvas.
    c->drawing.WindowCaptureMode = true;
    canvas->setCanvasGeometry(QRect(30, 40, 400, 300));
    QTRY_COMPARE(canvas->geometry().topLeft(), QPoint(30, 40));
    QTest::mouseMove(canvas, QPoint(10, 20));
    QCOMPARE(c->drawing.CursorPos, QPoint(10, 20));
}

QTEST_MAIN(TestDrawing)
#include "tst_drawing.moc"
