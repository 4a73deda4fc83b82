#include "menuextender.h"

#include <QAction>
#include <QMenu>

namespace {
const char* const CaptionProperty = "storedCaption";
}

void setStoredCaption(QAction* action, const QString& caption)
{
    action->setProperty(CaptionProperty, caption);
    if (caption == QLatin1String("-"))
        action->setSeparator(true);
    else
        action->setText(caption);
}

QString storedCaption(const QAction* action)
{
    return action->property(CaptionProperty).toString();
}

SplitCaption splitMenuCaption(const QString& caption)
{
    const int at = caption.indexOf(QLatin1String("|#"));
    if (at < 0)
        return {caption, QString()};
    return {caption.left(at), caption.mid(at + 2)};
}

void MenuExtender::AttachMenus(QMenu* menu, const QHash<QString, QIcon>& imgList)
{
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            continue;
        const SplitCaption c = splitMenuCaption(storedCaption(a));
        a->setText(c.text);
        a->setIcon(imgList.value(c.key));
        a->setIconVisibleInMenu(true);
    }
    attached_ = true;
}

void MenuExtender::DetachMenus(QMenu* menu)
{
    if (!menu)
        return;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            continue;
        a->setText(storedCaption(a));
        a->setIcon(QIcon());
    }
    attached_ = false;
}
