#pragma once

#include <QString>

// The icon shown beside each entry of the tray menu, as an art path for artIcon() ("icons/<file>").
// Entries that do what a toolbox button does share that button's icon. An unknown key has none.
inline QString menuIconPath(const QString& key)
{
    static const struct {
        const char* key;
        const char* path;
    } icons[] = {
        {"getscreen", "icons/capturescreen"},
        {"getwin", "icons/capturewindow"},
        {"toolbox", "icons/toolbox"},
        {"open", "icons/load"},
        {"about", "icons/about"},
        {"config", "icons/options"},
        {"help", "icons/help"},
        {"show", "icons/show"},
        {"hide", "icons/hide"},
        {"sendtotray", "icons/totray"},
        {"exit", "icons/exit"},
    };
    for (const auto& icon : icons) {
        if (key == QLatin1String(icon.key))
            return QString::fromLatin1(icon.path);
    }
    return QString();
}
