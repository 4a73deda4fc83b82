#pragma once

// Starting with the system on a Linux desktop: the user's own autostart entry Scrawlix.desktop
// in $XDG_CONFIG_HOME/autostart (~/.config/autostart when the variable is unset, empty or not an
// absolute path), where desktop sessions look and the user may write. The folder is created
// when it is missing. An entry that is no regular file of the user's own (a pipe, a link to a
// device or to another user's file, a file of megabytes) is neither read nor replaced: both
// calls answer CannotAccess.

#include "platform/startupentry.h"

#include <QString>

class XdgAutostartEntry : public StartupEntry
{
public:
    // Reads $XDG_CONFIG_HOME and $HOME afresh on every call.
    XdgAutostartEntry() = default;

    // Writes a complete entry whose Exec starts programPath, replacing whatever was there.
    Result Add(const QString& programPath) override;
    // Keeps the entry and marks it Hidden=true ("do not start"). Without an entry, writes a new
    // one that is hidden from the start.
    Result Remove() override;

    // The autostart folder for values of $XDG_CONFIG_HOME and $HOME.
    static QString autostartFolder(const QString& configHome, const QString& home);
    // The entry file in that folder.
    static QString entryPath(const QString& configHome, const QString& home);

    // One argument of an Exec line: always in double quotes, with ", `, $ and \ escaped by a
    // backslash and % doubled, then escaped once more as a string value (\ -> \\, newline -> \n,
    // tab -> \t, carriage return -> \r).
    static QString quoteExecArgument(const QString& argument);

    // The text of a fresh entry that starts programPath, and is skipped once it is gone
    // (TryExec).
    static QString entryText(const QString& programPath, bool hidden);
    // The entry text with Hidden=true set in its [Desktop Entry] group; every other line is kept.
    static QString hiddenEntryText(const QString& existing, const QString& programPath);
};
