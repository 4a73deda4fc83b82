#include "toolselection.h"

#include "canvas/frmmain.h"
#include "canvas/tools.h"
#include "program.h"
#include "toolbox/frmtoolbox.h"

void SelectTool(Program& program, std::int16_t t)
{
    const ToolDescriptor* tool = findTool(t);
    if (!tool)
        return;
    program.drawing.CurrentTool = t;
    SetFillButtonsEnabled(program, tool->fillButtons);
    if (FrmMain* canvas = program.frmMain())
        canvas->setCursor(toolCursor(t));
}

void SetFillButtonsEnabled(Program& program, bool enabled)
{
    if (FrmToolbox* toolbox = program.frmToolbox())
        toolbox->setFillButtonsEnabled(enabled);
}
