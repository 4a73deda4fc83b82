#include "texttool.h"

#include "drawingstate.h"
#include "frmmain.h"
#include "textentry.h"

void placeText(FrmMain& canvas, float x, float y)
{
    DrawingState& st = canvas.drawing();
    CanvasDocument& doc = canvas.document();

    st.NextLabelIndex = static_cast<std::int16_t>(doc.labelCount());
    const int previous = st.NextLabelIndex - 1;
    doc.setLabelOpen(previous, false);
    canvas.updateLabel(previous);

    const int i = doc.addLabel();
    doc.moveLabel(i, QPoint(qRound(x), qRound(y)));
    doc.setLabelVisible(i, true);
    doc.setLabelOpen(i, true);
    doc.setLabelText(i, QString());
    canvas.updateLabel(i);

    TextEntryBox* box = canvas.entryBox();
    box->move(qRound(x) - box->width() - 10, qRound(y) - box->height() - 10);
    ++st.NextLabelIndex;
    box->clear();
    box->show();
    box->raise();
    box->setFocus();
    // The new label follows the drawing attributes, and the box may lie off the screen.
    canvas.wakeTimer();
}

void txtText_Change(FrmMain& canvas)
{
    const int open = canvas.drawing().NextLabelIndex - 1;
    if (canvas.document().label(open)) {
        canvas.document().setLabelText(open, canvas.entryBox()->toPlainText());
        canvas.updateLabel(open);
    }
}

void txtText_KeyDown(FrmMain& canvas, int keyCode, int shift)
{
    if (keyCode != 13 || shift != 1)
        return;
    const int open = canvas.drawing().NextLabelIndex - 1;
    canvas.document().setLabelOpen(open, false);
    canvas.updateLabel(open);
    canvas.entryBox()->hide();
    Q_EMIT canvas.textFinished();
    canvas.setFocus();
}

void lblText_DblClick(FrmMain& canvas, int index)
{
    canvas.drawing().StrokeTool = 0;
    const TextLabelData* label = canvas.document().label(index);
    if (!label || index == 0)
        return;
    if (label->open)
        canvas.entryBox()->hide();
    canvas.document().removeLabel(index);
    canvas.updateLabel(index);
}

void sampleCursor(FrmMain& canvas, const QPoint& screenPos)
{
    DrawingState& st = canvas.drawing();
    QPoint pos = screenPos;
    // Over a captured window, relative to the canvas. (Its left and top are whole pixels.)
    if (st.WindowCaptureMode)
        pos -= canvas.canvasGeometry().topLeft();
    st.CursorPos = pos;
}

bool timerHasWork(const FrmMain& canvas)
{
    const CanvasDocument& doc = canvas.document();
    const TextLabelData* open = doc.label(doc.labelCount() - 1);
    if (open && open->open && open->visible)
        return true;
    const TextEntryBox* box = canvas.entryBox();
    return box->isVisible() && (box->x() < 0 || box->y() < 0);
}

void tmrTimer_Timer(FrmMain& canvas)
{
    sampleCursor(canvas, canvas.cursorPos());

    CanvasDocument& doc = canvas.document();
    const int last = doc.labelCount() - 1;
    const TextLabelData* open = doc.label(last);
    if (open && open->open) {
        const DrawingAttributes& a = canvas.attributes();
        QFont font = open->font;
        if (!a.fontFamily.isEmpty())
            font.setFamily(a.fontFamily);
        if (a.size > 0)
            font.setPointSizeF(a.size);
        font.setBold(a.bold);
        font.setItalic(a.italic);
        font.setUnderline(a.underline);
        font.setStrikeOut(a.strikeOut);
        // Only real changes touch the label; the timer ticks every millisecond.
        if (doc.formatLabel(last, font, a.color))
            canvas.updateLabel(last);
    }

    TextEntryBox* box = canvas.entryBox();
    if (box->x() < 0)
        box->move(150, box->y());
    if (box->y() < 0)
        box->move(box->x(), 150);
}

void ClearImage(FrmMain& canvas)
{
    canvas.setPicture(canvas.picture());
    canvas.repaint();
    canvas.document().removeLabels();
    canvas.updateLabels();
    canvas.drawing().NextLabelIndex = 0;
}
