#pragma once

// The drawing tools. Each tool is one row of the tool table (tools.cpp): its code, caption, art,
// cursor, whether the fill buttons apply, and what it does with the mouse. The toolbox's tool bar,
// the options dialog's list, the stored tool's bounds, the cursors and the art compiled into the
// program are all made from the rows.

#include <QCursor>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QStringList>

#include <cstdint>
#include <functional>

class CanvasDocument;
struct DrawingAttributes;
struct DrawingState;

// What a tool reaches of the canvas while it handles a mouse event: the document it draws on, the
// drawing state, the attributes it draws with, the window's repaint of a changed rectangle and,
// for text, a new label. It never sees the window itself.
struct ToolContext {
    CanvasDocument& document;
    DrawingState& state;
    const DrawingAttributes& attributes;
    std::function<void(const QRect&)> invalidate;
    // Opens a new text label at the point, with the entry box beside it.
    std::function<void(const QPointF&)> placeLabel;
    // The code of the tool whose handler runs.
    std::int16_t tool = 0;

    // The tool takes the mouse until the button is released: moves with the left button and the
    // release go to it, whatever tool is chosen meanwhile.
    void beginStroke();
};

// A handler of one mouse event, at a point on the canvas in canvas pixels. Null: the tool does
// nothing with that event.
using ToolHandler = void (*)(ToolContext& context, const QPointF& at);

struct ToolDescriptor {
    std::int16_t code;   // the 1-based button index on the tool bar; the stored Tool is code - 1
    const char* caption; // the tool bar button's name, in English; shown as toolCaption()
    const char* icon;    // the tool bar button's art, "icons/<name>"
    const char* cursor;  // the canvas cursor's art, "cursors/<NAME>", 32 x 32
    QPoint hotSpot;
    bool fillButtons;    // the shape can be filled: the fill buttons apply
    // A press on the canvas with any button, at the press point.
    ToolHandler press;
    // A press on a text label with any button, at the cursor's last sample. Either press then
    // moves the pen position there, for every tool.
    ToolHandler pressOnLabel;
    // A move with exactly the left button during the tool's stroke (beginStroke), on the canvas
    // or on a label; on a label at the cursor's last sample.
    ToolHandler move;
    // The release that ends the tool's stroke, with any button, on the canvas or on a label.
    ToolHandler release;
};

// The pen's code: the program goes back to the pen once a text is finished.
constexpr std::int16_t PenTool = 1;

// The number of tools; their codes are 1 .. toolCount().
int toolCount();
// The tool of a code; null for a code that names none.
const ToolDescriptor* findTool(int code);
// The caption the user sees: the tool bar button's tooltip and the options dialog's list entry.
QString toolCaption(const ToolDescriptor& tool);
// The shown captions in code order.
QStringList toolCaptions();
// The tool's cursor with its hot spot; the arrow for a code that names no tool.
QCursor toolCursor(int code);
