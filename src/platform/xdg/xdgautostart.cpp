#include "xdgautostart.h"

#include "platform/userfiles.h"
#include "xdgfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <unistd.h>

namespace {

const QString EntryName = QStringLiteral("Scrawlix.desktop");
const QString GroupHeader = QStringLiteral("[Desktop Entry]");

QString folderNow()
{
    return XdgAutostartEntry::autostartFolder(qEnvironmentVariable("XDG_CONFIG_HOME"),
                                              qEnvironmentVariable("HOME"));
}

// The folder must be a folder we may create files in; a missing one is made.
bool folderUsable(const QString& folder)
{
    if (!QFileInfo::exists(folder) && !QDir().mkpath(folder))
        return false;
    if (!QFileInfo(folder).isDir())
        return false;
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// An entry is a few hundred bytes; anything much larger is no entry of ours.
constexpr qint64 MaxEntryBytes = 64 * 1024;

StartupEntry::Result writeEntry(const QString& path, const QString& text)
{
    return userfiles::replaceFile(path, text.toUtf8()) ? StartupEntry::Result::Ok
                                                       : StartupEntry::Result::CannotAccess;
}

// A value of type string: backslash, newline, tab and carriage return escaped.
QString stringValue(const QString& text)
{
    QString value;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            value += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            value += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            value += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            value += QStringLiteral("\\r");
        else
            value += c;
    }
    return value;
}

} // namespace

QString XdgAutostartEntry::autostartFolder(const QString& configHome, const QString& home)
{
    // A relative $XDG_CONFIG_HOME is invalid and ignored, as an unset one.
    QString base = configHome;
    if (!QDir::isAbsolutePath(base))
        base = home + QStringLiteral("/.config");
    while (base.size() > 1 && base.endsWith(QLatin1Char('/')))
        base.chop(1);
    if (base == QLatin1String("/"))
        base.clear();
    return base + QStringLiteral("/autostart");
}

QString XdgAutostartEntry::entryPath(const QString& configHome, const QString& home)
{
    return autostartFolder(configHome, home) + QLatin1Char('/') + EntryName;
}

QString XdgAutostartEntry::quoteExecArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // The value is a string, whose own escapes are undone before the quoting is read.
    return stringValue(quoted);
}

QString XdgAutostartEntry::entryText(const QString& programPath, bool hidden)
{
    QString text = GroupHeader + QLatin1Char('\n');
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=Scrawlix\n");
    text += QStringLiteral("Comment=Draw on a snapshot of the screen\n");
    // Once the program is gone (a package removed), the session skips the entry instead of
    // failing to start it at every login.
    text += QStringLiteral("TryExec=") + stringValue(programPath) + QLatin1Char('\n');
    text += QStringLiteral("Exec=") + quoteExecArgument(programPath) + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\n");
    if (hidden)
        text += QStringLiteral("Hidden=true\n");
    return text;
}

QString XdgAutostartEntry::hiddenEntryText(const QString& existing, const QString& programPath)
{
    QStringList lines = existing.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();

    int groupStart = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() == GroupHeader) {
            groupStart = i;
            break;
        }
    }
    if (groupStart < 0)
        return entryText(programPath, true);

    int groupEnd = static_cast<int>(lines.size());
    for (int i = groupStart + 1; i < lines.size(); ++i) {
        if (isKeyFileGroupHeader(lines[i])) {
            groupEnd = i;
            break;
        }
    }
    bool replaced = false;
    for (int i = groupEnd - 1; i > groupStart; --i) {
        if (keyFileKeyOf(lines[i]) != QLatin1String("Hidden"))
            continue;
        if (replaced) {
            lines.removeAt(i);
            --groupEnd;
        } else {
            lines[i] = QStringLiteral("Hidden=true");
            replaced = true;
        }
    }
    if (!replaced) {
        // After the group's last entry, before any blank lines that part it from the next group.
        int at = groupEnd;
        while (at > groupStart + 1 && lines[at - 1].trimmed().isEmpty())
            --at;
        lines.insert(at, QStringLiteral("Hidden=true"));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

StartupEntry::Result XdgAutostartEntry::Add(const QString& programPath)
{
    const QString folder = folderNow();
    if (!folderUsable(folder))
        return Result::CannotAccess;
    return writeEntry(folder + QLatin1Char('/') + EntryName, entryText(programPath, false));
}

StartupEntry::Result XdgAutostartEntry::Remove()
{
    const QString folder = folderNow();
    if (!folderUsable(folder))
        return Result::CannotAccess;
    const QString path = folder + QLatin1Char('/') + EntryName;
    // A pipe, a device or a huge file in the entry's place is not read, let alone waited on.
    QByteArray existing;
    if (userfiles::readSmallFile(path, MaxEntryBytes, &existing) == userfiles::ReadResult::Refused)
        return Result::CannotAccess;
    return writeEntry(path, hiddenEntryText(QString::fromUtf8(existing),
                                            QCoreApplication::applicationFilePath()));
}
