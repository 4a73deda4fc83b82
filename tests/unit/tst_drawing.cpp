// Drawing on the canvas image with every tool, read back pixel by pixel, and the text labels; the
// tool table and tool selection, and where the toolbox is shown again; and the canvas document
// with no window at all: the picture under the drawing, resizing, the pen's joined segments, the
// changed rectangles the window repaints, the highlighter's area, and the labels' indices.

#include "canvas/canvasdocument.h"
#include "canvas/drawing.h"
#include "canvas/labels.h"
#include "canvas/mousedrawing.h"
#include "canvas/textentry.h"
#include "canvas/texttool.h"
#include "canvas/tools.h"
#include "shell/toolselection.h"
#include "testprogram.h"
#include "settings/lists.h"
#include "toolbox/toolboxplace.h"
#include "ui/art.h"
#include "ui/widgets.h"

#include <QComboBox>
#include <QToolButton>
#include <QtTest>

namespace {

constexpr int Red = 4, Yellow = 8, Black = 0;

int countIn(const QImage& img, const QRect& area, QRgb c)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += img.pixel(x, y) == c;
    return n;
}

// A started program whose canvas shows a white 400 x 300 picture at (0, 0).
struct Canvas : StartedProgram {
    Canvas()
    {
        QImage white(400, 300, QImage::Format_RGB32);
        white.fill(Qt::white);
        canvas()->setCanvasGeometry(QRect(0, 0, 400, 300));
        canvas()->setPicture(Picture(white, {}, 96, 96));
        canvas()->showCanvas();
    }
    void use(int tool, int size, int color)
    {
        SelectTool(*program, static_cast<std::int16_t>(tool));
        named<ComboList>(toolbox(), "cboSize")->setListIndex(size - 1);
        named<ComboList>(toolbox(), "cboColor")->setListIndex(color);
    }
    QRgb at(int x, int y) { return canvas()->image().pixel(x, y); }
    void press(float x, float y, int button = 1) { Form_MouseDown(*canvas(), button, 0, x, y); }
    // The pixels of a colour in the rectangle from (x0, y0) to (x1, y1), both included.
    int count(int x0, int y0, int x1, int y1, QRgb c)
    {
        return countIn(canvas()->image(), QRect(QPoint(x0, y0), QPoint(x1, y1)), c);
    }
};

const QRgb RedPx = qRgb(255, 0, 0);
const QRgb WhitePx = qRgb(255, 255, 255);
const QRgb Grey = qRgb(0x80, 0x80, 0x80);

// A 100 x 80 picture: white, with a blue column at x = 10.
Picture docPicture()
{
    QImage img(100, 80, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 0; y < 80; ++y)
        img.setPixel(10, y, qRgb(0, 0, 255));
    return Picture(img, {}, 96, 96);
}

// The pixels of a drawing that are more opaque than not.
int opaquePixels(const QPixmap& pixmap)
{
    const QImage img = pixmap.toImage();
    int opaque = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            opaque += qAlpha(img.pixel(x, y)) > 128;
    return opaque;
}

} // namespace

class TestDrawing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void circleRadiusAndOutline()
    {
        for (int size : {1, 8}) {
            Canvas c;
            c.use(ToolCircle, size, Red);
            const int cx = 200, cy = 150, r = 10 * size;
            c.press(cx, cy);
            // Along the ray to the right: a 5-pixel band on the radius, white inside and out.
            QCOMPARE(c.count(cx, cy, cx + r + 10, cy, RedPx), 5);
            int first = cx;
            while (c.at(first, cy) != RedPx)
                ++first;
            QVERIFY2(qAbs(first + 2 - (cx + r)) <= 1, "the band lies on the radius");
            QCOMPARE(c.count(first, cy, first + 4, cy, RedPx), 5);
            QCOMPARE(c.at(cx, cy), WhitePx);
            QCOMPARE(c.count(cx, cy - r - 10, cx, cy, RedPx), 5);
            QCOMPARE(c.canvas()->attributes().size, size); // the width is back after the outline
        }
    }

    void solidCircleAndRectangle()
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

    void rectangleOutlineIsFiveAtAnySize()
    {
        for (int size : {1, 40}) {
            Canvas c;
            c.use(ToolRectangle, size, Red);
            c.press(100, 100);
            QCOMPARE(c.at(100, 100), WhitePx); // the first corner draws nothing
            c.press(300, 200);
            QCOMPARE(c.count(90, 150, 150, 150, RedPx), 5);
            QCOMPARE(c.count(250, 150, 310, 150, RedPx), 5);
            QCOMPARE(c.count(200, 90, 200, 150, RedPx), 5);
            QCOMPARE(c.at(200, 150), WhitePx);
            QCOMPARE(c->drawing.AnchorX, 1.0f);
            QCOMPARE(c->drawing.AnchorY, std::int16_t(1));
        }
    }

    void lineWidthIsTheSize()
    {
        for (int size : {1, 4, 9}) {
            Canvas c;
            c.use(ToolLine, size, Red);
            c.press(50, 150);
            c.press(350, 150);
            QCOMPARE(c.count(200, 100, 200, 200, RedPx), size);
            c.press(200, 20);
            c.press(200, 280); // vertical
            QCOMPARE(c.count(150, 120, 250, 120, RedPx), size);
        }
    }

    void firstPoints()
    {
        // A first point at x = 1 is forgotten: the next press is taken as a first point again.
        Canvas c;
        c.use(ToolLine, 3, Red);
        c.press(1, 100);
        c.press(100, 100);
        QCOMPARE(c.count(0, 100, 399, 100, RedPx), 0);
        c.press(200, 100.5f);
        QCOMPARE(c.at(50, 100), WhitePx);
        QCOMPARE(c.at(150, 100), RedPx);
        QVERIFY(c.count(0, 100, 399, 100, RedPx) <= 104);
        // A rectangle's first corner, then the line tool: a line from that corner.
        c.use(ToolRectangle, 2, Red);
        c.press(40, 60);
        SelectTool(*c, ToolLine);
        c.press(240, 60);
        QCOMPARE(c.count(140, 50, 140, 70, RedPx), 2);
        QVERIFY(c.count(40, 40, 40, 80, RedPx) <= 3); // no box edge
    }

    void buttonsOnPressAndMove()
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

    void focusMovesDoNotRepaintTheCanvas()
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

    void strokeStartingOnALabel()
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

    void textLabels()
    {
        // The open label takes the toolbox's font, size, style and colour at each tick of a timer
        // that runs only while a label is open and the canvas shown; a finished one keeps its own.
        Canvas c;
        FrmMain* canvas = c.canvas();
        QVERIFY2(!canvas->timerRunning(), "a canvas with no open label needs no ticks");
        c.use(ToolText, 12, Red);
        c.press(5, 5);
        QVERIFY(canvas->timerRunning());
        TextLabel* label = canvas->labels().at(1);
        QTest::keyClicks(canvas->entryBox(), QStringLiteral("hi"));
        QTRY_COMPARE(canvas->entryBox()->pos(), QPoint(150, 150)); // pulled onto the screen
        ComboList* fonts = named<ComboList>(c.toolbox(), "cboTextFont");
        QVERIFY(fonts->count() > 1);
        fonts->setListIndex(1);
        named<ToolBar>(c.toolbox(), "tlbr_fontstyle")->button(1)->click();
        named<ComboList>(c.toolbox(), "cboSize")->setListIndex(19);
        SelectTool(*c, ToolCircle); // switching tools does not finish the label
        named<ComboList>(c.toolbox(), "cboColor")->setListIndex(14);
        QTRY_COMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(label->font().pointSize(), 20);
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().family(), fonts->itemText(1));
        canvas->hide();
        QVERIFY(!canvas->timerRunning());
        canvas->showCanvas();
        QTRY_VERIFY(canvas->timerRunning());
        QTest::keyClick(canvas->entryBox(), Qt::Key_Return, Qt::ShiftModifier);
        named<ComboList>(c.toolbox(), "cboColor")->setListIndex(Yellow);
        named<ComboList>(c.toolbox(), "cboSize")->setListIndex(4);
        tmrTimer_Timer(*canvas);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(label->font().pointSize(), 20);
        QTRY_VERIFY(!canvas->timerRunning());

        // A double-click deletes a finished label, and the entry box stays; a label placed after a
        // deletion in the middle is a fresh one that takes the typing and finishes the open one.
        c.use(ToolText, 10, Black);
        for (int i = 2; i <= 4; ++i) {
            c.press(100 * i - 170, 120);
            QTest::keyClicks(canvas->entryBox(), QString::number(i));
        }
        const LabelArray& labels = canvas->labels();
        lblText_DblClick(*canvas, 3);
        QVERIFY(!labels.at(3));
        QVERIFY(canvas->entryBox()->isVisible());
        c.press(100, 250);
        TextLabel* fresh = labels.at(c->drawing.NextLabelIndex - 1);
        QVERIFY(fresh && fresh != labels.at(4));
        QCOMPARE(labels.at(4)->borderStyle(), 0);
        QTest::keyClicks(canvas->entryBox(), QStringLiteral("new"));
        QCOMPARE(fresh->text(), QStringLiteral("new"));
        QCOMPARE(labels.at(2)->text() + labels.at(4)->text(), QStringLiteral("24"));
        // The open label goes with the entry box, and the timer stops.
        lblText_DblClick(*canvas, c->drawing.NextLabelIndex - 1);
        QVERIFY(!canvas->entryBox()->isVisible());
        QTRY_VERIFY(!canvas->timerRunning());
        c.press(300, 250);
        QTest::keyClicks(canvas->entryBox(), QStringLiteral("again"));
        QCOMPARE(labels.at(c->drawing.NextLabelIndex - 1)->text(), QStringLiteral("again"));
    }

    void cursorComesFromMouseEvents()
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
        QMouseEvent move(QEvent::MouseMove, QPointF(150, 100),
                         canvas->mapToGlobal(QPointF(150, 100)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
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

    // The tools.
    void everyRowIsAToolOfItsOwn()
    {
        // The rows are numbered 1..n in order, since the code is the tool bar's index and the
        // stored setting's; each has a caption of its own, drawn art (the build compiles in what
        // the rows name) and something to do on a press.
        QVERIFY(toolCount() >= 6);
        QVERIFY(!findTool(0));
        QVERIFY(!findTool(toolCount() + 1));
        QStringList captions;
        for (int code = 1; code <= toolCount(); ++code) {
            const ToolDescriptor* tool = findTool(code);
            QVERIFY(tool);
            const QString caption = QLatin1String(tool->caption);
            QCOMPARE(int(tool->code), code);
            QVERIFY2(!caption.isEmpty() && !captions.contains(caption), tool->caption);
            captions << caption;
            QVERIFY2(opaquePixels(artPixmap(QLatin1String(tool->icon), QSize(16, 16))) > 10,
                     tool->icon);
            QVERIFY2(opaquePixels(toolCursor(code).pixmap()) > 20, tool->cursor);
            QVERIFY2(tool->press, tool->caption);
        }

        // The tool bar and the options dialog's list show the same tools in the same order.
        StartedProgram t;
        ToolBar* bar = named<ToolBar>(t->frmToolbox(), "tlbr_mode");
        QComboBox list;
        fillToolList(&list);
        QCOMPARE(bar->count(), toolCount());
        QCOMPARE(list.count(), toolCount());
        for (int code = 1; code <= toolCount(); ++code) {
            QCOMPARE(bar->key(code), captions[code - 1]);
            QCOMPARE(list.itemText(code - 1), captions[code - 1]);
        }
    }

    void outOfRangeCodesAndFillButtons()
    {
        // Codes out of range change nothing: the circle stays, with its fill buttons and cursor.
        StartedProgram t;
        ToolBar* fill = named<ToolBar>(t->frmToolbox(), "tlbr_filled");
        SelectTool(*t, ToolCircle);
        const QPixmap before = t->frmMain()->cursor().pixmap();
        for (std::int16_t bad :
             {std::int16_t(0), std::int16_t(toolCount() + 1), std::int16_t(-1)}) {
            SelectTool(*t, bad);
            QCOMPARE(t->drawing.CurrentTool, std::int16_t(ToolCircle));
            QVERIFY(fill->isButtonEnabled(1));
            QCOMPARE(t->frmMain()->cursor().pixmap().toImage(), before.toImage());
        }
        // The fill buttons serve the circle and the rectangle only; the choice stays meanwhile.
        fill->button(2)->click();
        for (int tool = 1; tool <= 6; ++tool) {
            SelectTool(*t, static_cast<std::int16_t>(tool));
            const bool fillable = tool == ToolCircle || tool == ToolRectangle;
            QCOMPARE(fill->isButtonEnabled(1), fillable);
            QCOMPARE(fill->isButtonEnabled(2), fillable);
            QVERIFY(t->frmMain()->attributes().filled);
        }
    }

    void toolboxPlaceKeptOnlyAfterTheUsersMove()
    {
        const QPoint wm(1, 20), user(1500, 500);
        ToolboxPlace place;

        // Painted at Qt's (0, 0), then put on screen, then moved by the window manager's placement.
        QVERIFY(!place.showing());
        place.moved(QPoint(0, 0), 0);
        place.exposed(QPoint(0, 0), 5);
        place.moved(wm, 8);
        place.hiding(wm);
        QVERIFY(!place.userMoved());
        QVERIFY(!place.showing());

        // A late placement, still within the settling time, and a move while hidden.
        place.exposed(wm, 1000);
        place.moved(QPoint(40, 40), 1000 + ToolboxPlace::SettleMs - 1);
        place.hiding(QPoint(40, 40));
        place.moved(QPoint(0, 0), 5000);
        QVERIFY(!place.showing());

        // The user's move is kept across showings, and a later move of theirs replaces it.
        place.exposed(wm, 10000);
        place.moved(user, 12000);
        place.hiding(user);
        QCOMPARE(place.showing(), std::optional<QPoint>(user));
        place.exposed(user, 20000);
        place.moved(user + QPoint(10, 0), 25000);
        place.hiding(user + QPoint(10, 0));
        QCOMPARE(place.showing(), std::optional<QPoint>(user + QPoint(10, 0)));
    }

    // The canvas document with no window at all.
    void pictureUnderTheDrawing()
    {
        CanvasDocument doc;
        QVERIFY(doc.image().isNull());
        doc.setPicture(docPicture(), QSize(150, 90), QColor(Grey));
        // The picture at the top-left corner, the background beyond it.
        QCOMPARE(doc.image().size(), QSize(150, 90));
        QCOMPARE(doc.image().pixel(10, 5), qRgb(0, 0, 255));
        QCOMPARE(doc.image().pixel(120, 50), Grey);
        QCOMPARE(doc.image().pixel(50, 85), Grey);

        // A new size keeps the drawing where it was; the same size changes nothing.
        doc.line(QPointF(30, 30), QPointF(60, 30), QColor(RedPx), 3);
        doc.resize(QSize(200, 120), QColor(Grey));
        QCOMPARE(doc.image().size(), QSize(200, 120));
        QCOMPARE(doc.image().pixel(45, 30), RedPx);
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

    void onlyOneCopyOfTheScreenUntilDrawn()
    {
        const Picture pic = docPicture();
        CanvasDocument doc;
        // Set while the window still has another size, then sized to the picture: one copy of it.
        doc.setPicture(pic, QSize(640, 480), QColor(Grey));
        doc.resize(QSize(100, 80), QColor(Grey));
        QCOMPARE(doc.image().constBits(), pic.image().constBits());
        // Drawing takes a copy of its own: the picture under it does not change.
        doc.line(QPointF(30, 30), QPointF(60, 30), QColor(RedPx), 3);
        QVERIFY(doc.image().constBits() != pic.image().constBits());
        QCOMPARE(pic.image().pixel(45, 30), qRgb(255, 255, 255));
        QCOMPARE(doc.image().pixel(45, 30), RedPx);
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
        doc.line(QPointF(30, 30), QPointF(60, 30), QColor(RedPx), 3);
        QCOMPARE(doc.image().size(), QSize(320, 200));
        QCOMPARE(doc.image().pixel(45, 30), RedPx);
        QCOMPARE(doc.image().pixel(310, 190), Grey);
    }

    void penSegmentsJoinAndReportWhatChanged()
    {
        CanvasDocument doc;
        doc.setPicture(docPicture(), QSize(100, 80), QColor(Grey));
        doc.setPenPosition(QPointF(20, 40));
        const QRect first = doc.penTo(QPointF(40, 40), QColor(RedPx), 4);
        const QRect second = doc.penTo(QPointF(40, 60), QColor(RedPx), 4);
        QCOMPARE(doc.penPosition(), QPointF(40, 60));
        // Each segment starts where the last one ended, and lies inside the rectangle it reports.
        QCOMPARE(doc.image().pixel(30, 40), RedPx);
        QCOMPARE(doc.image().pixel(40, 50), RedPx);
        QCOMPARE(countIn(doc.image(), doc.image().rect(), RedPx),
                 countIn(doc.image(), first.united(second), RedPx));
        // The rectangle is the segment padded by half the width and two pixels, no more.
        QCOMPARE(first, QRect(16, 36, 28, 8));
        // Near the edge it is cut to the image.
        doc.setPenPosition(QPointF(98, 78));
        QCOMPARE(doc.penTo(QPointF(99, 79), QColor(RedPx), 10),
                 QRect(QPoint(91, 71), QPoint(99, 79)));
    }

    void shapesReportWhatChanged()
    {
        CanvasDocument doc;
        doc.setPicture(docPicture(), QSize(100, 80), QColor(Grey));
        // A line moves the pen to its end; the next pen segment joins it there.
        doc.line(QPointF(20, 10), QPointF(60, 10), QColor(RedPx), 2);
        QCOMPARE(doc.penPosition(), QPointF(60, 10));
        // A circle's rectangle covers it, filled or not, and holds all that it drew.
        const QRect solid = doc.circle(QPointF(30, 40), 10, 5, QColor(RedPx), true);
        QVERIFY(solid.contains(QRect(20, 30, 21, 21)));
        QCOMPARE(countIn(doc.image(), solid, RedPx),
                 countIn(doc.image(), QRect(15, 25, 31, 31), RedPx));
        const QRect ring = doc.circle(QPointF(75, 40), 10, 5, QColor(RedPx), false);
        QVERIFY(ring.contains(QRect(65, 30, 21, 21)));
        // A box's rectangle covers its outline, cut to the image.
        const QRect box = doc.box(QPointF(20, 60), QPointF(50, 75), 5, QColor(RedPx), false);
        QVERIFY(box.contains(QRect(QPoint(17, 57), QPoint(53, 78)) & doc.image().rect()));
    }

    void highlighterStaysInItsArea()
    {
        CanvasDocument doc;
        doc.setPicture(docPicture(), QSize(100, 80), QColor(Grey));
        // Until a capture sizes the area, the highlighter has no block and changes nothing.
        const QImage before = doc.image();
        QCOMPARE(doc.highlight(QPointF(50, 40), QColor(Qt::yellow), 10), QRect());
        QCOMPARE(doc.image(), before);
        // Within the area: a square of side w centred on the point, and nothing beside it.
        doc.setHighlightArea(QSize(100, 80));
        QCOMPARE(doc.highlight(QPointF(50, 40), QColor(Qt::yellow), 10), QRect(45, 35, 10, 10));
        QCOMPARE(doc.image().pixel(55, 40), qRgb(255, 255, 255));
        QCOMPARE(doc.highlight(QPointF(10, 40), QColor(Qt::yellow), 4), QRect(8, 38, 4, 4));
        // The colour may change from one stamp to the next.
        doc.highlight(QPointF(80, 20), QColor(Qt::cyan), 6);
        QCOMPARE(doc.image().pixel(80, 20), qRgb(0, 255, 255));
        // A smaller area clips the block.
        doc.setHighlightArea(QSize(3, 3));
        QCOMPARE(doc.highlight(QPointF(30, 60), QColor(Qt::yellow), 10).size(), QSize(3, 3));
        // The square's edges round halves to even: 97.5 and 98.5 both give 98.
        QCOMPARE(stampEdge(100, 5), 98);
        QCOMPARE(stampEdge(101, 5), 98);
        QCOMPARE(stampEdge(102, 5), 100);
    }

    void textLabelsKeepTheirIndices()
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
        const TextLabelData* one = doc.label(1);
        QCOMPARE(one->font.family(), QStringLiteral("Serif"));
        QCOMPARE(one->color, QColor(Qt::blue));
        QVERIFY(one->open);
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
        // Blanking empties and hides them all and keeps them.
        doc.setLabelText(3, QStringLiteral("three"));
        doc.setLabelVisible(3, true);
        doc.blankLabels();
        QCOMPARE(doc.labelCount(), 4);
        QCOMPARE(doc.label(3)->text, QString());
        QVERIFY(!doc.label(3)->visible);
    }
};

QTEST_MAIN(TestDrawing)
#include "tst_drawing.moc"
