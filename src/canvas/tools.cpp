#include "tools.h"

#include "shell/art.h"
#include "shell/frmmain.h"
#include "shell/program.h"
#include "toolbox/frmtoolbox.h"
#include "toolbox/widgets.h"

namespace {
constexpr ToolCursorInfo Cursors[6] = {
    {"PENCIL", 0, 0, false}, {"CIRCLE", 0, 0, true}, {"SQUARE", 0, 0, true},
    {"LINE", 1, 0, false},   {"TEXT", 1, 0, false},  {"HIGHLIGHTER", 0, 0, false},
};
} // namespace

const ToolCursorInfo* toolCursorInfo(int tool)
{
    if (tool < 1 || tool > 6)
        return nullptr;
    return &Cursors[tool - 1];
}

QCursor toolCursor(int tool)
{
    const ToolCursorInfo* info = toolCursorInfo(tool);
    if (!info)
        return QCursor(Qt::ArrowCursor);
    return artCursor(QStringLiteral("cursors/") + QLatin1String(info->resource), info->hotX,
                     info->hotY);
}

void SelectTool(Program& program, std::int16_t t)
{
    const ToolCursorInfo* info = toolCursorInfo(t);
    if (!info)
        return;
    program.drawing.CurrentTool = t;
    SetFillButtonsEnabled(program, info->fillButtons);
    if (FrmMain* canvas = program.frmMain())
        canvas->setToolCursor(toolCursor(t));
}

void SetFillButtonsEnabled(Program& program, bool enabled)
{
    if (FrmToolbox* toolbox = program.frmToolbox()) {
        for (int i = 1; i <= 2; ++i)
            toolbox->tlbr_filled->setButtonEnabled(i, enabled);
    }
}
