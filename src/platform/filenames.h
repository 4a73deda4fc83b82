#pragma once

// File names as the system keeps them: bytes, which need not be UTF-8 text (a name from an old
// archive, a memory card, another locale). Qt's strings hold text only, and a name that is not
// text would turn into another name on the way. So such a name travels from a command line to the
// running program as a file: URL whose %-escapes carry its bytes, and the running program opens
// it through a descriptor that it holds on the file.

#include <QByteArray>
#include <QString>

namespace filenames {

// The longest name of a file that the system takes, in bytes.
qsizetype maxPathBytes();

// The text that stands for an absolute name given as the system's bytes: the name itself when
// it is text that turns back into the same bytes, else a file: URL.
QString toArgument(const QByteArray& localPath);

// The system's bytes of the name that an argument stands for: an absolute name as text, or a
// local file: URL (%-escapes are bytes). Empty for anything else (a URL of another host or scheme).
QByteArray fromArgument(const QString& argument);

// A name that Qt can open for a file given as the system's bytes, valid while this lives: the
// name itself when it is text, else the link the system keeps for a descriptor held on the file
// (/proc/self/fd/N on Linux).
class HeldName
{
public:
    explicit HeldName(const QByteArray& localPath);
    ~HeldName();
    HeldName(const HeldName&) = delete;
    HeldName& operator=(const HeldName&) = delete;

    QString name() const { return name_; }

private:
    int fd_ = -1;
    QString name_;
};

// For messages: the name behind a held descriptor's link (what is not text in it as U+FFFD),
// else the name as given.
QString shownName(const QString& name);

} // namespace filenames
