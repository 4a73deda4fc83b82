#include "startupvalues.h"

#include "canvas/tools.h"

bool parseWholeNumber(const QString& text, int low, int high, int* out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *out = v;
    return true;
}

static int orDefault(const QString& text, int low, int high, int fallback)
{
    int v = 0;
    return parseWholeNumber(text, low, high, &v) ? v : fallback;
}

int storedPenSize(const QString& text)
{
    return orDefault(text, 1, 100, defaults::PenSize.toInt());
}

int storedPenColor(const QString& text)
{
    return orDefault(text, 0, 20, defaults::PenColor.toInt());
}

int storedFont(const QString& text, int fontCount)
{
    if (fontCount <= 0)
        return -1;
    return orDefault(text, 0, fontCount - 1, defaults::Font.toInt());
}

int storedTool(const QString& text)
{
    return orDefault(text, 0, toolCount() - 1, defaults::Tool.toInt());
}

int storedFill(const QString& text)
{
    return orDefault(text, 1, 2, defaults::Fill.toInt());
}

bool storedRunOnStartup(const QString& text)
{
    int v = 0;
    return parseWholeNumber(text, 0, 1, &v) && v == 1;
}

