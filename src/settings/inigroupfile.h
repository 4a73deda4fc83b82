#pragma once

// One group of an INI file, read and written without disturbing the rest of the file. Users edit
// Scrawlix.conf by hand: their comments, other groups, blank lines and values that the program
// cannot use all stay as they are, byte for byte. Writing a key changes only that key's line, or
// adds one line for it. A file that is not a regular file (a pipe, a device) or not UTF-8 text is
// never read from nor written to, and neither is a link to another user's file: what the program
// saves then lasts until it ends.

#include <QByteArray>
#include <QHash>
#include <QString>

class IniGroupFile
{
public:
    IniGroupFile(const QString& path, const QString& group);

    // The key's value in the group, "" when it is absent or the file cannot be read.
    QString read(const QString& key) const;
    // Sets the key's value in the file at once. False when the file cannot be written; the
    // value is then kept for this run, and read() gives it.
    bool save(const QString& key, const QString& value);

    QString path() const { return path_; }

private:
    QString path_;
    QString group_;
    QHash<QString, QString> unsaved_; // values that could not be written
};

// The pieces, on the bytes of a file, for tests.
namespace ini {
// The raw value of the key in the group, as the file spells it, unquoted; false when absent.
bool findValue(const QByteArray& file, const QString& group, const QString& key, QString* value);
// The file with the key set: its line's value replaced, or a line added at the end of the group,
// or the group added at the end of the file.
QByteArray withValue(const QByteArray& file, const QString& group, const QString& key,
                     const QString& value);
// Whether the bytes can be a settings file that we may change: UTF-8 text without NUL bytes.
bool isText(const QByteArray& file);
} // namespace ini
