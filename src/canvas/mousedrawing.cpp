#include "mousedrawing.h"

#include "drawingstate.h"
#include "frmmain.h"
#include "texttool.h"
#include "tools.h"

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

// What the tool with this code reaches of the canvas.
ToolContext contextFor(FrmMain& canvas, std::int16_t tool)
{
    return ToolContext{canvas.document(),
                       canvas.drawing(),
                       canvas.attributes(),
                       [&canvas](const QRect& r) { canvas.invalidate(r); },
                       [&canvas](const QPointF& at) {
                           placeText(canvas, static_cast<float>(at.x()), static_cast<float>(at.y()));
                       },
                       tool};
}

// Runs one handler of the tool with this code, if the tool has one.
void run(FrmMain& canvas, int code, ToolHandler ToolDescriptor::*handler, const QPointF& at)
{
    const ToolDescriptor* tool = findTool(code);
    if (!tool || !(tool->*handler))
        return;
    ToolContext context = contextFor(canvas, tool->code);
    (tool->*handler)(context, at);
}

void endStroke(FrmMain& canvas, const QPointF& at)
{
    const std::int16_t tool = canvas.drawing().StrokeTool;
    canvas.drawing().StrokeTool = 0;
    run(canvas, tool, &ToolDescriptor::release, at);
}

} // namespace

void Form_MouseDown(FrmMain& canvas, int /*button*/, int /*shift*/, float x, float y)
{
    run(canvas, canvas.drawing().CurrentTool, &ToolDescriptor::press, QPointF(x, y));
}

void Form_MouseMove(FrmMain& canvas, int buttons, int /*shift*/, float x, float y)
{
    if (buttons != 1)
        return;
    run(canvas, canvas.drawing().StrokeTool, &ToolDescriptor::move, QPointF(x, y));
}

void Form_MouseUp(FrmMain& canvas, int button, int /*shift*/, float x, float y)
{
    if (button == 2)
        Q_EMIT canvas.menuRequested();
    endStroke(canvas, QPointF(x, y));
}

void lblText_MouseDown(FrmMain& canvas, int /*index*/, int /*button*/)
{
    const QPointF at(canvas.drawing().CursorPos);
    run(canvas, canvas.drawing().CurrentTool, &ToolDescriptor::pressOnLabel, at);
    canvas.document().setPenPosition(at);
}

void lblText_MouseMove(FrmMain& canvas, int /*index*/, int buttons)
{
    if (buttons != 1)
        return;
    // The label has the mouse; the canvas position comes from the cursor's last sample.
    run(canvas, canvas.drawing().StrokeTool, &ToolDescriptor::move,
        QPointF(canvas.drawing().CursorPos));
}

void lblText_MouseUp(FrmMain& canvas, int /*index*/, int /*button*/)
{
    endStroke(canvas, QPointF(canvas.drawing().CursorPos));
}
