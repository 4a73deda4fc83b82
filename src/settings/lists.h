#pragma once

// The lists the toolbox and the options dialog fill in exactly the same way, so that a stored
// position means the same entry in both.

#include <QStringList>

class QComboBox;

// 1 .. 100, each entry's number its data (the text may be translated).
void fillSizeList(QComboBox* list);
// The screen fonts in alphabetical order.
void fillFontList(QComboBox* list);
// "Black" .. "Custom ...", as the user's language names them.
void fillColorList(QComboBox* list);
// The drawing tools' shown captions, in code order.
void fillToolList(QComboBox* list);

// The installed screen fonts, sorted alphabetically without regard to case.
QStringList screenFontNames();
