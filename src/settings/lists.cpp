#include "lists.h"

#include "canvas/colortable.h"
#include "canvas/tools.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <algorithm>

void fillSizeList(QComboBox* list)
{
    // The number is the entry's data; its text is in the user's language and digits.
    for (int i = 1; i <= 100; ++i)
        list->addItem(
            QCoreApplication::translate("Lists", "%L1", "a size in the size lists").arg(i), i);
}

QStringList screenFontNames()
{
    QStringList fonts;
    for (QString family : QFontDatabase::families()) {
        // Families offered by several foundries come as "Name [Foundry]"; the name alone selects
        // the font.
        const int bracket = family.indexOf(QLatin1String(" ["));
        if (bracket > 0)
            family.truncate(bracket);
        fonts << family;
    }
    fonts.removeDuplicates();
    std::stable_sort(fonts.begin(), fonts.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return fonts;
}

void fillFontList(QComboBox* list)
{
    list->clear();
    list->addItems(screenFontNames());
}

void fillColorList(QComboBox* list)
{
    list->addItems(shownColorNames());
}

void fillToolList(QComboBox* list)
{
    list->addItems(toolCaptions());
}
