#include "mousedrawing.h"

#include "drawingstate.h"
#include "frmmain.h"
#include "platform/units.h"
#include "texttool.h"

int buttonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int buttonsCode(Qt::MouseButtons b)
{
    int r = 0;
    if (b & Qt::LeftButton)
        r |= 1;
    if (b & Qt::RightButton)
        r |= 2;
    if (b & Qt::MiddleButton)
        r |= 4;
    return r;
}

namespace {

void moveWithLeftButton(FrmMain& canvas, const QPointF& at)
{
    const DrawingState& st = canvas.drawing();
    const DrawingAttributes& a = canvas.attributes();
    CanvasDocument& doc = canvas.document();
    if (st.PenStrokeActive)
        canvas.invalidate(doc.penTo(at, a.color, a.size));
    else if (st.HighlightActive)
        canvas.invalidate(doc.highlight(at, a.color, a.size));
}

// Stores the first point of a rectangle or line; a point at x = 1 reads as "no point".
void storeAnchor(DrawingState& st, float x, float y)
{
    st.AnchorX = x;
    st.AnchorY = units::toInt16(y);
}

} // namespace

void Form_MouseDown(FrmMain& canvas, int /*button*/, int /*shift*/, float x, float y)
{
    DrawingState& st = canvas.drawing();
    CanvasDocument& doc = canvas.document();
    const DrawingAttributes a = canvas.attributes();
    switch (st.CurrentTool) {
    case ToolPen:
        doc.setPenPosition(QPointF(st.CursorPos));
        st.PenStrokeActive = true;
        break;
    case ToolCircle:
        canvas.invalidate(doc.circle(QPointF(x, y), 10.0 * a.size, 5, a.color, a.filled));
        break;
    case ToolRectangle:
        if (st.AnchorX == 1) {
            storeAnchor(st, x, y);
        } else {
            canvas.invalidate(
                doc.box(QPointF(st.AnchorX, st.AnchorY), QPointF(x, y), 5, a.color, a.filled));
            st.AnchorX = 1;
            st.AnchorY = 1;
        }
        break;
    case ToolLine:
        if (st.AnchorX == 1) {
            storeAnchor(st, x, y);
        } else {
            canvas.invalidate(
                doc.line(QPointF(st.AnchorX, st.AnchorY), QPointF(x, y), a.color, a.size));
            st.AnchorX = 1;
            st.AnchorY = 1;
        }
        break;
    case ToolText:
        placeText(canvas, x, y);
        break;
    case ToolHighlighter:
        st.PenStrokeActive = false;
        st.HighlightActive = true;
        break;
    default:
        break;
    }
}

void Form_MouseMove(FrmMain& canvas, int buttons, int /*shift*/, float x, float y)
{
    if (buttons != 1)
        return;
    moveWithLeftButton(canvas, QPointF(x, y));
}

void Form_MouseUp(FrmMain& canvas, int button, int /*shift*/, float /*x*/, float /*y*/)
{
    if (button == 2)
        Q_EMIT canvas.menuRequested();
    canvas.drawing().PenStrokeActive = false;
    canvas.drawing().HighlightActive = false;
}

void lblText_MouseDown(FrmMain& canvas, int /*index*/, int /*button*/)
{
    DrawingState& st = canvas.drawing();
    if (st.CurrentTool == ToolPen) {
        st.PenStrokeActive = true;
        st.HighlightActive = false;
    } else if (st.CurrentTool == ToolHighlighter) {
        st.PenStrokeActive = false;
        st.HighlightActive = true;
    }
    canvas.document().setPenPosition(QPointF(st.CursorPos));
}

void lblText_MouseMove(FrmMain& canvas, int /*index*/, int buttons)
{
    if (buttons != 1)
        return;
    // The label has the mouse; the canvas position comes from the cursor's last sample.
    moveWithLeftButton(canvas, QPointF(canvas.drawing().CursorPos));
}
