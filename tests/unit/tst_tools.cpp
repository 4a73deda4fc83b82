// The tool table; tool selection: bounds, cursors and the fill buttons; where the toolbox is shown
// again.

#include "canvas/tools.h"
#include "settings/lists.h"
#include "ui/art.h"
#include "shell/toolselection.h"
#include "canvas/frmmain.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"
#include "toolbox/toolboxplace.h"
#include "ui/widgets.h"

#include <QComboBox>
#include <QToolButton>
#include <QtTest>

namespace {

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

class TestTools : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyRowIsAToolOfItsOwn();
    void outOfRangeCodesChangeNothing();
    void fillButtonsFollowTheTool();
    void toolbarClicksSelectToolAndFill();
    void toolboxPlaceKeptOnlyAfterTheUsersMove();
};

void TestTools::everyRowIsAToolOfItsOwn()
{
    // The rows are numbered 1..n in order, since the code is the tool bar's index and the stored
    // setting's; each has a caption of its own, drawn art (the build compiles in what the rows
    // name) and something to do on a press.
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
        QVERIFY2(opaquePixels(artPixmap(QLatin1String(tool->icon), QSize(16, 16))) > 10, tool->icon);
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

void TestTools::outOfRangeCodesChangeNothing()
{
    StartedProgram t;
    SelectTool(*t, ToolCircle);
    const QPixmap before = t->frmMain()->cursor().pixmap();
    for (std::int16_t bad : {std::int16_t(0), std::int16_t(toolCount() + 1), std::int16_t(-1)}) {
        SelectTool(*t, bad);
        QCOMPARE(t->drawing.CurrentTool, std::int16_t(ToolCircle));
        QVERIFY(named<ToolBar>(t->frmToolbox(), "tlbr_filled")->isButtonEnabled(1));
        QCOMPARE(t->frmMain()->cursor().pixmap().toImage(), before.toImage());
    }
}

void TestTools::fillButtonsFollowTheTool()
{
    StartedProgram t;
    ToolBar* fill = named<ToolBar>(t->frmToolbox(), "tlbr_filled");
    SelectTool(*t, ToolCircle);
    fill->button(2)->click();
    for (int tool = 1; tool <= 6; ++tool) {
        SelectTool(*t, static_cast<std::int16_t>(tool));
        const bool fillable = tool == ToolCircle || tool == ToolRectangle;
        QCOMPARE(fill->isButtonEnabled(1), fillable);
        QCOMPARE(fill->isButtonEnabled(2), fillable);
        QVERIFY(t->frmMain()->attributes().filled);
    }
}

void TestTools::toolbarClicksSelectToolAndFill()
{
    StartedProgram t;
    FrmToolbox* tb = t->frmToolbox();
    named<ToolBar>(tb, "tlbr_mode")->button(3)->click();
    QCOMPARE(t->drawing.CurrentTool, std::int16_t(ToolRectangle));
    named<ToolBar>(tb, "tlbr_filled")->button(2)->click();
    QVERIFY(t->frmMain()->attributes().filled);
    named<ToolBar>(tb, "tlbr_filled")->button(1)->click();
    QVERIFY(!t->frmMain()->attributes().filled);
    // Pressing from code shows the state without selecting.
    named<ToolBar>(tb, "tlbr_mode")->setPressed(5, true);
    QCOMPARE(t->drawing.CurrentTool, std::int16_t(ToolRectangle));
    QCOMPARE(named<ToolBar>(tb, "tlbr_mode")->pressedIndex(), 5);
}

void TestTools::toolboxPlaceKeptOnlyAfterTheUsersMove()
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

QTEST_MAIN(TestTools)
#include "tst_tools.moc"
