#include "colortable.h"

#include <QColor>

namespace {
struct Named {
    const char* name;
    quint32 bgr;
};
constexpr Named Palette[20] = {
    {"Black", 0x00000000},  {"White", 0x00FFFFFF},   {"Silver", 0x00C0C0C0},
    {"Gray", 0x00808080},   {"Red", 0x000000FF},     {"Pink", 0x00FFC0FF},
    {"Burgandy", 0x00000080}, {"Orange", 0x000080FF}, {"Yellow", 0x0000FFFF},
    {"Lime", 0x0000FF00},   {"Green", 0x0000C000},   {"Spruce", 0x00008000},
    {"Teal", 0x00808000},   {"Cyan", 0x00FFFF00},    {"Blue", 0x00FF0000},
    {"Navy", 0x00800000},   {"Maroon", 0x00800080},  {"Magenta", 0x00FF00FF},
    {"Brown", 0x00004080},  {"Periwinkle", 0x00FFC0C0},
};
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
        l << QStringLiteral("Custom ...");
        return l;
    }();
    return names;
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
