#include "texttool.h"

#include "drawingstate.h"
#include "frmmain.h"
#include "labels.h"
#include "textentry.h"

void placeText(FrmMain& canvas, float x, float y)
{
    DrawingState& st = canvas.drawing();
    LabelArray& labels = canvas.labels();

    const int n = labels.Count();
    st.NextLabelIndex = static_cast<std::int16_t>(n);
    if (TextLabel* previous = labels.at(st.NextLabelIndex - 1))
        previous->setBorderStyle(0);

    TextLabel* label = labels.Load(st.NextLabelIndex);
    if (!label)
        return;
    label->move(qRound(x), qRound(y));
    label->show();
    label->setBorderStyle(1);

    TextEntryBox* box = canvas.entryBox();
    box->move(qRound(x) - box->width() - 10, qRound(y) - box->height() - 10);
    ++st.NextLabelIndex;
    box->clear();
    label->setText(QString());
    label->autoSize();
    box->show();
    box->raise();
    box->setFocus();
}

void txtText_Change(FrmMain& canvas)
{
    if (TextLabel* open = canvas.labels().at(canvas.drawing().NextLabelIndex - 1)) {
        open->setText(canvas.entryBox()->toPlainText());
        open->autoSize();
    }
}

void txtText_KeyDown(FrmMain& canvas, int keyCode, int shift)
{
    if (keyCode != 13 || shift != 1)
        return;
    if (TextLabel* open = canvas.labels().at(canvas.drawing().NextLabelIndex - 1))
        open->setBorderStyle(0);
    canvas.entryBox()->hide();
    Q_EMIT canvas.textFinished();
    canvas.setFocus();
}

void lblText_DblClick(FrmMain& canvas, int index)
{
    canvas.drawing().PenStrokeActive = false;
    canvas.drawing().HighlightActive = false;
    TextLabel* label = canvas.labels().at(index);
    if (!label || index == 0)
        return;
    if (label->borderStyle() == 1)
        canvas.entryBox()->hide();
    canvas.labels().Unload(index);
}

void tmrTimer_Timer(FrmMain& canvas)
{
    DrawingState& st = canvas.drawing();
    QPoint pos = canvas.cursorPos();
    // Over a captured window, relative to the canvas. (Its left and top are whole pixels.)
    if (st.WindowCaptureMode)
        pos -= canvas.canvasGeometry().topLeft();
    st.CursorPos = pos;

    LabelArray& labels = canvas.labels();
    TextLabel* open = labels.at(labels.Count() - 1);
    if (open && open->borderStyle() == 1) {
        const DrawingAttributes& a = canvas.attributes();
        QFont font = open->font();
        QPalette pal = open->palette();
        pal.setColor(QPalette::WindowText, a.color);
        if (!a.fontFamily.isEmpty())
            font.setFamily(a.fontFamily);
        if (a.size > 0)
            font.setPointSizeF(a.size);
        font.setBold(a.bold);
        font.setItalic(a.italic);
        font.setUnderline(a.underline);
        font.setStrikeOut(a.strikeOut);
        // Only real changes touch the label; the timer ticks every millisecond.
        if (pal.color(QPalette::WindowText) != open->palette().color(QPalette::WindowText))
            open->setPalette(pal);
        if (font != open->font()) {
            open->setFont(font);
            open->autoSize();
        }
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
    canvas.labels().UnloadAll();
    canvas.drawing().NextLabelIndex = 0;
}
