#include "tools.h"

#include "canvasdocument.h"
#include "drawingattributes.h"
#include "drawingstate.h"
#include "platform/units.h"
#include "ui/art.h"

#include <QCoreApplication>

#include <iterator>

void ToolContext::beginStroke()
{
    state.StrokeTool = tool;
}

namespace {

// Each tool's handlers, then the table. The build takes the art to compile into the program
// from the rows' "icons/..." and "cursors/..." texts.

void penDown(ToolContext& c, const QPointF&)
{
    // The stroke starts where the cursor was last sampled, not at the event's point.
    c.document.setPenPosition(QPointF(c.state.CursorPos));
    c.beginStroke();
}

void penMove(ToolContext& c, const QPointF& at)
{
    c.invalidate(c.document.penTo(at, c.attributes.color, c.attributes.size));
}

void circleDown(ToolContext& c, const QPointF& at)
{
    // The size sets the radius; the outline is always 5 pixels wide.
    c.invalidate(c.document.circle(at, 10.0 * c.attributes.size, 5, c.attributes.color,
                                   c.attributes.filled));
}

// The first point of a rectangle or line, shared by both tools; AnchorX = 1 means there is none,
// so a first point at x = 1 is not remembered. True when a pending first point was taken.
bool takeAnchor(DrawingState& st, const QPointF& at, QPointF* first)
{
    if (st.AnchorX == 1) {
        st.AnchorX = static_cast<float>(at.x());
        st.AnchorY = units::toInt16(at.y());
        return false;
    }
    *first = QPointF(st.AnchorX, st.AnchorY);
    st.AnchorX = 1;
    st.AnchorY = 1;
    return true;
}

void rectangleDown(ToolContext& c, const QPointF& at)
{
    QPointF first;
    if (takeAnchor(c.state, at, &first))
        c.invalidate(c.document.box(first, at, 5, c.attributes.color, c.attributes.filled));
}

void lineDown(ToolContext& c, const QPointF& at)
{
    QPointF first;
    if (takeAnchor(c.state, at, &first))
        c.invalidate(c.document.line(first, at, c.attributes.color, c.attributes.size));
}

void textDown(ToolContext& c, const QPointF& at)
{
    c.placeLabel(at);
}

void highlighterMove(ToolContext& c, const QPointF& at)
{
    c.invalidate(c.document.highlight(at, c.attributes.color, c.attributes.size));
}

void strokeDown(ToolContext& c, const QPointF&)
{
    c.beginStroke();
}

// Pen and highlighter draw while the left button moves, also across text labels; the shapes and
// the text act on a press on the canvas only.
// clang-format off
const ToolDescriptor Tools[] = {
    // code, caption (the source of its translation), icon, cursor, hot spot, fill buttons,
    //     press, press on a label, move, release
    {1, QT_TRANSLATE_NOOP("Tools", "Pen"), "icons/pen", "cursors/PENCIL", {0, 0}, false,
     penDown, strokeDown, penMove, nullptr},
    {2, QT_TRANSLATE_NOOP("Tools", "Circle"), "icons/circle", "cursors/CIRCLE", {0, 0}, true,
     circleDown, nullptr, nullptr, nullptr},
    {3, QT_TRANSLATE_NOOP("Tools", "Rectangle"), "icons/rectangle", "cursors/SQUARE", {0, 0},
     true, rectangleDown, nullptr, nullptr, nullptr},
    {4, QT_TRANSLATE_NOOP("Tools", "Line"), "icons/line", "cursors/LINE", {1, 0}, false,
     lineDown, nullptr, nullptr, nullptr},
    {5, QT_TRANSLATE_NOOP("Tools", "Text"), "icons/text", "cursors/TEXT", {1, 0}, false,
     textDown, nullptr, nullptr, nullptr},
    {6, QT_TRANSLATE_NOOP("Tools", "Highlighter"), "icons/highlighter", "cursors/HIGHLIGHTER",
     {0, 0}, false, strokeDown, strokeDown, highlighterMove, nullptr},
};
// clang-format on

} // namespace

int toolCount()
{
    return static_cast<int>(std::size(Tools));
}

const ToolDescriptor* findTool(int code)
{
    if (code < 1 || code > toolCount())
        return nullptr;
    return &Tools[code - 1];
}

QString toolCaption(const ToolDescriptor& tool)
{
    return QCoreApplication::translate("Tools", tool.caption);
}

QStringList toolCaptions()
{
    QStringList captions;
    for (const ToolDescriptor& t : Tools)
        captions << toolCaption(t);
    return captions;
}

QCursor toolCursor(int code)
{
    const ToolDescriptor* t = findTool(code);
    if (!t)
        return QCursor(Qt::ArrowCursor);
    return artCursor(QLatin1String(t->cursor), t->hotSpot.x(), t->hotSpot.y());
}
