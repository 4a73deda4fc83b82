#pragma once

// What the desktop files on Linux have in common: colon-separated directory lists in the XDG
// variables, and desktop-entry style files ("[Group]" headers, "Key=value" lines, '#' comments).

#include <QString>
#include <QStringList>

// The absolute directories of a colon-separated list, in order; relative entries are ignored.
QStringList xdgAbsoluteDirs(const QString& list);

// Whether the line is a "[Group]" header.
bool isKeyFileGroupHeader(const QString& line);
// "Key=value" or "Key = value": the key, else an empty string (comments, blank lines).
QString keyFileKeyOf(const QString& line);
