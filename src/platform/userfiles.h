#pragma once

// The small text files of the user's that the program reads and rewrites: the settings file and
// the autostart entry. The user (or someone else) may have put anything at those places: a pipe
// that never answers, a link to a device that never ends, a link into another user's files. None
// of them is waited on, read without end, or written through.

#include <QByteArray>
#include <QString>

namespace userfiles {

enum class ReadResult {
    Absent,  // nothing at the path: an empty file, as far as the caller is concerned
    Read,    // the bytes are the file's
    Refused, // not a regular file (after links), larger than the limit, or unreadable
};

// Reads the whole file when it is a regular file of at most maxBytes.
ReadResult readSmallFile(const QString& path, qint64 maxBytes, QByteArray* bytes);

// Whether the file may be replaced: nothing is there yet, or a regular file of our own user is,
// directly or at the end of links. A link that leads nowhere, or to another user's file, is not
// followed: writing through it would make the file there ours, and change what another user reads.
bool mayReplace(const QString& path);

// Replaces the file whole (a new file renamed over the old one, so a crash leaves either), when
// mayReplace allows; a missing folder is made. False when nothing was written.
bool replaceFile(const QString& path, const QByteArray& bytes);

} // namespace userfiles
