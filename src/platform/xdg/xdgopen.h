#pragma once

// Opening files on a Linux desktop. The desktop's opener (xdg-open, or the desktop's own) starts
// happily even when no application handles the file's type and then fails where nobody sees it.
// So before handing over a local file, the program looks, by the freedesktop.org rules those
// openers follow, for an application that takes the type.

#include "platform/qt/qtservices.h"

#include <QStringList>

// The directories those rules search, most important first.
struct XdgDirs {
    QStringList config; // $XDG_CONFIG_HOME, then $XDG_CONFIG_DIRS
    QStringList data;   // $XDG_DATA_HOME, then $XDG_DATA_DIRS

    // From the environment; unset or empty variables take the freedesktop.org defaults.
    static XdgDirs fromEnvironment();
};

// Whether an installed application takes one of the MIME types (a type and its aliases): a
// default or added association in a mimeapps.list that names an existing desktop entry, an entry
// of a mimeinfo.cache, or a desktop entry whose MimeType lists the type and that is not hidden.
bool xdgHasApplicationFor(const QStringList& mimeTypes, const XdgDirs& dirs);

// The opener for X11 desktops: local files go to the desktop's opener only when an application
// takes their type; anything else (web addresses) goes straight through.
class XdgShellOpen : public QtShellOpen
{
public:
    bool Open(const QString& target) override;
};
