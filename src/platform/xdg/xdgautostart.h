#pragma once

// Starting with the system on a Linux desktop: the machine-wide autostart entry Scrawlix.desktop
// in the "autostart" folder of the first directory of $XDG_CONFIG_DIRS (/etc/xdg when the
// variable is unset or empty). The folder is opened, never created; writing there normally takes
// an administrator.

#include "platform/startupentry.h"

#include <QString>

class XdgAutostartEntry : public StartupEntry
{
public:
    // Reads $XDG_CONFIG_DIRS afresh on every call.
    XdgAutostartEntry() = default;

    // Writes a complete entry whose Exec starts programPath, replacing whatever was there.
    Result Add(const QString& programPath) override;
    // Keeps the entry and marks it Hidden=true ("do not start"). Without an entry, writes a new
    // one that is hidden from the start.
    Result Remove() override;

    // The autostart folder for a value of $XDG_CONFIG_DIRS: the first absolute directory of the
    // colon-separated list (relative ones are ignored), or /etc/xdg, followed by "/autostart".
    static QString autostartFolder(const QString& configDirs);
    // The entry file in that folder.
    static QString entryPath(const QString& configDirs);

    // One argument of an Exec line: always in double quotes, with ", `, $ and \ escaped by a
    // backslash and % doubled, then escaped once more as a string value (\ -> \\, newline -> \n,
    // tab -> \t, carriage return -> \r).
    static QString quoteExecArgument(const QString& argument);

    // The text of a fresh entry that starts programPath.
    static QString entryText(const QString& programPath, bool hidden);
    // The entry text with Hidden=true set in its [Desktop Entry] group; every other line is kept.
    static QString hiddenEntryText(const QString& existing, const QString& programPath);
};
