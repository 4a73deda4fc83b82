#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

class QMenu;
class QAction;

// Gives popup-menu items their icons. Each item keeps its caption as "Caption|#key": attached,
// the item shows "Caption" with the image list's icon for "key"; detached, it shows the plain
// stored caption again. Detaching twice is harmless.
class MenuExtender
{
public:
    void AttachMenus(QMenu* menu, const QHash<QString, QIcon>& imgList);
    void DetachMenus(QMenu* menu);

private:
    bool attached_ = false;
};

// The stored caption of an item ("Capture Screen|#getscreen"); set once when the item is made.
void setStoredCaption(QAction* action, const QString& caption);
QString storedCaption(const QAction* action);

// "Capture Screen|#getscreen" -> {"Capture Screen", "getscreen"}; a caption without "|#" has no
// key.
struct SplitCaption {
    QString text;
    QString key;
};
SplitCaption splitMenuCaption(const QString& caption);
