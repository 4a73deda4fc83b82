#include "colortable.h"

#include <QColor>
#include <QCoreApplication>

namespace {
struct Named {
    const char* name;
    quint32 bgr;
};
// The names as written here are the source of their translations (context "Colors").
constexpr Named Palette[20] = {
    {QT_TRANSLATE_NOOP("Colors", "Black"), 0x00000000},
    {QT_TRANSLATE_NOOP("Colors", "White"), 0x00FFFFFF},
    {QT_TRANSLATE_NOOP("Colors", "Silver"), 0x00C0C0C0},
    {QT_TRANSLATE_NOOP("Colors", "Gray"), 0x00808080},
    {QT_TRANSLATE_NOOP("Colors", "Red"), 0x000000FF},
    {QT_TRANSLATE_NOOP("Colors", "Pink"), 0x00FFC0FF},
    {QT_TRANSLATE_NOOP("Colors", "Burgandy"), 0x00000080},
    {QT_TRANSLATE_NOOP("Colors", "Orange"), 0x000080FF},
    {QT_TRANSLATE_NOOP("Colors", "Yellow"), 0x0000FFFF},
    {QT_TRANSLATE_NOOP("Colors", "Lime"), 0x0000FF00},
    {QT_TRANSLATE_NOOP("Colors", "Green"), 0x0000C000},
    {QT_TRANSLATE_NOOP("Colors", "Spruce"), 0x00008000},
    {QT_TRANSLATE_NOOP("Colors", "Teal"), 0x00808000},
    {QT_TRANSLATE_NOOP("Colors", "Cyan"), 0x00FFFF00},
    {QT_TRANSLATE_NOOP("Colors", "Blue"), 0x00FF0000},
    {QT_TRANSLATE_NOOP("Colors", "Navy"), 0x00800000},
    {QT_TRANSLATE_NOOP("Colors", "Maroon"), 0x00800080},
    {QT_TRANSLATE_NOOP("Colors", "Magenta"), 0x00FF00FF},
    {QT_TRANSLATE_NOOP("Colors", "Brown"), 0x00004080},
    {QT_TRANSLATE_NOOP("Colors", "Periwinkle"), 0x00FFC0C0},
};
const char* const CustomColorName = QT_TRANSLATE_NOOP("Colors", "Custom ...");
} // namespace

void InitColorTable(ColorTable& table)
{
    for (int i = 0; i < 20; ++i)
        table[i] = QString::number(Palette[i].bgr);
    table[CustomColorIndex] = QStringLiteral("0");
}

const QStringList& colorNames()
{
    static const QStringList names = [] {
        QStringList l;
        for (const Named& n : Palette)
            l << QString::fromLatin1(n.name);
        l << QString::fromLatin1(CustomColorName);
        return l;
    }();
    return names;
}

QStringList shownColorNames()
{
    QStringList l;
    for (const Named& n : Palette)
        l << QCoreApplication::translate("Colors", n.name);
    l << QCoreApplication::translate("Colors", CustomColorName);
    return l;
}

QColor colorFromBgr(quint32 bgr)
{
    return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
}

quint32 bgrFromColor(const QColor& c)
{
    return static_cast<quint32>(c.red()) | static_cast<quint32>(c.green()) << 8 |
           static_cast<quint32>(c.blue()) << 16;
}

quint32 colorTableValue(const ColorTable& table, int index)
{
    if (index < 0 || index >= static_cast<int>(table.size()))
        return 0;
    bool ok = false;
    const quint32 v = table[index].toUInt(&ok);
    return ok ? v : 0;
}
