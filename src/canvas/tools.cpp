#include "tools.h"

#include "ui/art.h"

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
