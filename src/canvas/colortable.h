#pragma once

#include <QString>
#include <QStringList>
#include <QColor>
#include <QtGlobal>
#include <array>

// The 21 palette entries, each a 0x00BBGGRR colour written as decimal text. Entries 0..19 are the
// named colours, entry 20 the custom colour.
using ColorTable = std::array<QString, 21>;

constexpr int CustomColorIndex = 20;

// Fills entries 0..19 with the named colours and entry 20 with "0".
void InitColorTable(ColorTable& table);

// The list texts, "Black" to "Custom ...", in table order, in English: nothing stores them, and
// they are the source of the shown names.
const QStringList& colorNames();
// The same names in the user's language, as the colour lists show them.
QStringList shownColorNames();

// 0x00BBGGRR <-> QColor.
QColor colorFromBgr(quint32 bgr);
quint32 bgrFromColor(const QColor& c);

// The colour of an entry; an entry that is not a number reads as black.
quint32 colorTableValue(const ColorTable& table, int index);
