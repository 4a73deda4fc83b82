#include "texttool.h"

#include "canvas/colortable.h"
#include "canvas/labels.h"
#include "canvas/mousedrawing.h"
#include "canvas/textentry.h"
#include "canvas/tools.h"
#include "platform/platform.h"
#include "shell/frmmain.h"
#include "shell/program.h"
#include "toolbox/frmtoolbox.h"
#include "toolbox/widgets.h"

#include <exception>

void placeText(Program& program, float x, float y)
{
    FrmMain* canvas = program.frmMain();
    DrawingState& st = program.drawing;
    LabelArray& labels = canvas->lblText;

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

    TextEntryBox* box = canvas->txtText;
    box->move(qRound(x) - box->width() - 10, qRound(y) - box->height() - 10);
    ++st.NextLabelIndex;
    box->clear();
    label->setText(QString());
    label->autoSize();
    box->show();
    box->raise();
    box->setFocus();
}

void txtText_Change(Program& program)
{
    FrmMain* canvas = program.frmMain();
    if (TextLabel* open = canvas->lblText.at(program.drawing.NextLabelIndex - 1)) {
        open->setText(canvas->txtText->toPlainText());
        open->autoSize();
    }
}

void txtText_KeyDown(Program& program, int keyCode, int shift)
{
    if (keyCode != 13 || shift != 1)
        return;
    FrmMain* canvas = program.frmMain();
    if (TextLabel* open = canvas->lblText.at(program.drawing.NextLabelIndex - 1))
        open->setBorderStyle(0);
    canvas->txtText->hide();
    SelectTool(program, ToolPen);
    if (FrmToolbox* toolbox = program.frmToolbox())
        toolbox->tlbr_mode->setPressed(1, true);
    canvas->setFocus();
}

void lblText_DblClick(Program& program, int index)
{
    FrmMain* canvas = program.frmMain();
    program.drawing.PenStrokeActive = false;
    program.drawing.HighlightActive = false;
    TextLabel* label = canvas->lblText.at(index);
    if (!label || index == 0)
        return;
    if (label->borderStyle() == 1)
        canvas->txtText->hide();
    canvas->lblText.Unload(index);
}

namespace {

// Runs one step of the tick; a step that fails is skipped and the tick goes on.
template <typename Step>
void step(Step&& s)
{
    try {
        s();
    } catch (const std::exception&) {
    }
}

} // namespace

void tmrTimer_Timer(Program& program)
{
    FrmMain* canvas = program.frmMain();
    DrawingState& st = program.drawing;
    QPoint pos = program.platform().cursor->GetCursorPos();
    // Over a captured window, relative to the canvas. (Its left and top are whole pixels.)
    if (st.WindowCaptureMode)
        pos -= canvas->canvasGeometry().topLeft();
    st.CursorPos = pos;

    FrmToolbox* toolbox = program.frmToolbox();
    TextLabel* open = canvas->lblText.at(canvas->lblText.Count() - 1);
    if (open && toolbox && open->borderStyle() == 1) {
        QFont font = open->font();
        QPalette pal = open->palette();
        step([&] { pal.setColor(QPalette::WindowText, paletteColor(program)); });
        step([&] {
            const QString family = toolbox->cboTextFont->currentText();
            if (!family.isEmpty())
                font.setFamily(family);
        });
        step([&] {
            bool ok = false;
            const double points = toolbox->cboSize->currentText().toDouble(&ok);
            if (ok && points > 0)
                font.setPointSizeF(points);
        });
        step([&] { font.setBold(toolbox->tlbr_fontstyle->isPressed(1)); });
        step([&] { font.setItalic(toolbox->tlbr_fontstyle->isPressed(2)); });
        step([&] { font.setUnderline(toolbox->tlbr_fontstyle->isPressed(3)); });
        step([&] { font.setStrikeOut(toolbox->tlbr_fontstyle->isPressed(4)); });
        // Only real changes touch the label; the timer ticks every millisecond.
        if (pal.color(QPalette::WindowText) != open->palette().color(QPalette::WindowText))
            open->setPalette(pal);
        if (font != open->font()) {
            open->setFont(font);
            open->autoSize();
        }
    }

    TextEntryBox* box = canvas->txtText;
    if (box->x() < 0)
        box->move(150, box->y());
    if (box->y() < 0)
        box->move(box->x(), 150);
}
