#include "mousedrawing.h"

#include "canvas/colortable.h"
#include "canvas/drawing.h"
#include "platform/units.h"
#include "canvas/texttool.h"
#include "shell/frmmain.h"
#include "shell/program.h"
#include "toolbox/frmtoolbox.h"
#include "toolbox/widgets.h"

QColor paletteColor(Program& program)
{
    FrmToolbox* toolbox = program.frmToolbox();
    int index = toolbox ? toolbox->cboColor->currentIndex() : -1;
    // A list without a selection keeps drawing in the last colour it had.
    if (index < 0 || index > CustomColorIndex)
        index = program.lastPaletteIndex;
    program.lastPaletteIndex = index;
    return colorFromBgr(colorTableValue(program.colorTable, index));
}

namespace {

void penSegmentTo(Program& program, FrmMain* canvas, const QPointF& to)
{
    const QRect dirty = drawLine(canvas->image(), canvas->CurrentPoint, to, paletteColor(program),
                                 canvas->DrawWidth);
    canvas->CurrentPoint = to;
    canvas->invalidate(dirty);
}

void highlightAt(Program& program, FrmMain* canvas, const QPointF& at)
{
    canvas->pichighlight.BackColor = paletteColor(program);
    const int w = canvas->DrawWidth;
    const QRect dirty = stampAnd(canvas->image(), canvas->pichighlight.block(w),
                                 stampEdge(at.x(), w), stampEdge(at.y(), w));
    canvas->invalidate(dirty);
}

void moveWithLeftButton(Program& program, const QPointF& at)
{
    FrmMain* canvas = program.frmMain();
    if (program.drawing.PenStrokeActive)
        penSegmentTo(program, canvas, at);
    else if (program.drawing.HighlightActive)
        highlightAt(program, canvas, at);
}

// Stores the first point of a rectangle or line; a point at x = 1 reads as "no point".
void storeAnchor(Program& program, float x, float y)
{
    program.drawing.AnchorX = x;
    program.drawing.AnchorY = units::toInt16(y);
}

} // namespace

void Form_MouseDown(Program& program, int /*button*/, int /*shift*/, float x, float y)
{
    FrmMain* canvas = program.frmMain();
    DrawingState& st = program.drawing;
    canvas->FillColor = paletteColor(program);
    switch (st.CurrentTool) {
    case ToolPen:
        canvas->CurrentPoint = QPointF(st.CursorPos);
        st.PenStrokeActive = true;
        break;
    case ToolCircle: {
        const int w = canvas->DrawWidth;
        const QRect dirty = drawCircle(canvas->image(), QPointF(x, y), 10.0 * w, 5,
                                       paletteColor(program), canvas->FillStyle == 0,
                                       canvas->FillColor);
        canvas->invalidate(dirty);
        break;
    }
    case ToolRectangle:
        if (st.AnchorX == 1) {
            storeAnchor(program, x, y);
        } else {
            const QRect dirty = drawBox(canvas->image(), QPointF(st.AnchorX, st.AnchorY),
                                        QPointF(x, y), 5, canvas->FillColor, canvas->FillStyle == 0);
            canvas->invalidate(dirty);
            st.AnchorX = 1;
            st.AnchorY = 1;
        }
        break;
    case ToolLine:
        if (st.AnchorX == 1) {
            storeAnchor(program, x, y);
        } else {
            const QPointF to(x, y);
            const QRect dirty = drawLine(canvas->image(), QPointF(st.AnchorX, st.AnchorY), to,
                                         canvas->FillColor, canvas->DrawWidth);
            canvas->CurrentPoint = to;
            canvas->invalidate(dirty);
            st.AnchorX = 1;
            st.AnchorY = 1;
        }
        break;
    case ToolText:
        placeText(program, x, y);
        break;
    case ToolHighlighter:
        st.PenStrokeActive = false;
        st.HighlightActive = true;
        break;
    default:
        break;
    }
}

void Form_MouseMove(Program& program, int buttons, int /*shift*/, float x, float y)
{
    if (buttons != 1)
        return;
    moveWithLeftButton(program, QPointF(x, y));
}

void Form_MouseUp(Program& program, int button, int /*shift*/, float /*x*/, float /*y*/)
{
    if (button == 2)
        program.frmMain()->STI_MouseDown(2);
    program.drawing.PenStrokeActive = false;
    program.drawing.HighlightActive = false;
}

void lblText_MouseDown(Program& program, int /*index*/, int /*button*/)
{
    DrawingState& st = program.drawing;
    if (st.CurrentTool == ToolPen) {
        st.PenStrokeActive = true;
        st.HighlightActive = false;
    } else if (st.CurrentTool == ToolHighlighter) {
        st.PenStrokeActive = false;
        st.HighlightActive = true;
    }
    program.frmMain()->CurrentPoint = QPointF(st.CursorPos);
}

void lblText_MouseMove(Program& program, int /*index*/, int buttons)
{
    if (buttons != 1)
        return;
    // The label has the mouse; the canvas position comes from the cursor's last sample.
    moveWithLeftButton(program, QPointF(program.drawing.CursorPos));
}
