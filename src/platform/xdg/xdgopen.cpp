#include "xdgopen.h"

#include "xdgfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTextStream>

namespace {

QStringList pathList(const char* variable, const QString& fallback)
{
    QStringList out;
    const QString value = qEnvironmentVariable(variable);
    for (const QString& dir : xdgAbsoluteDirs(value.isEmpty() ? fallback : value))
        out << QDir::cleanPath(dir);
    return out;
}

QString homeOr(const char* variable, const QString& underHome)
{
    const QString value = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QDir::homePath() + underHome;
}

// Calls take(group, key, value) for every key of a desktop-entry style file.
template <typename Take>
void readKeyFile(const QString& path, Take take)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    QString group;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (isKeyFileGroupHeader(line)) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const QString key = keyFileKeyOf(line);
        if (!key.isEmpty())
            take(group, key, line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed());
    }
}

QStringList entries(const QString& list)
{
    QStringList out = list.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& s : out)
        s = s.trimmed();
    return out;
}

// A desktop file ID names a file under an applications directory; "vendor-app.desktop" may also
// be "vendor/app.desktop".
bool desktopEntryExists(const QString& id, const QStringList& appDirs)
{
    for (const QString& dir : appDirs) {
        if (QFileInfo(dir + QLatin1Char('/') + id).isFile())
            return true;
        QString nested = id;
        for (qsizetype dash = nested.indexOf(QLatin1Char('-')); dash > 0;
             dash = nested.indexOf(QLatin1Char('-'), dash + 1)) {
            nested[dash] = QLatin1Char('/');
            if (QFileInfo(dir + QLatin1Char('/') + nested).isFile())
                return true;
        }
    }
    return false;
}

bool desktopEntryTakes(const QString& path, const QStringList& mimeTypes)
{
    bool takes = false;
    bool hidden = false;
    readKeyFile(path, [&](const QString& group, const QString& key, const QString& value) {
        if (group != QLatin1String("Desktop Entry"))
            return;
        if (key == QLatin1String("MimeType")) {
            for (const QString& type : entries(value))
                takes = takes || mimeTypes.contains(type);
        } else if (key == QLatin1String("Hidden")) {
            hidden = value == QLatin1String("true");
        }
    });
    return takes && !hidden;
}

} // namespace

XdgDirs XdgDirs::fromEnvironment()
{
    XdgDirs dirs;
    dirs.config << homeOr("XDG_CONFIG_HOME", QStringLiteral("/.config"))
                << pathList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    dirs.data << homeOr("XDG_DATA_HOME", QStringLiteral("/.local/share"))
              << pathList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    return dirs;
}

bool xdgHasApplicationFor(const QStringList& mimeTypes, const XdgDirs& dirs)
{
    QStringList appDirs;
    for (const QString& d : dirs.data)
        appDirs << d + QStringLiteral("/applications");

    QStringList associationFiles;
    for (const QString& d : dirs.config)
        associationFiles << d + QStringLiteral("/mimeapps.list");
    for (const QString& d : appDirs)
        associationFiles << d + QStringLiteral("/mimeapps.list") << d + QStringLiteral("/mimeinfo.cache");
    bool found = false;
    for (const QString& file : associationFiles) {
        readKeyFile(file, [&](const QString& group, const QString& key, const QString& value) {
            if (found || !mimeTypes.contains(key))
                return;
            if (group != QLatin1String("Default Applications") &&
                group != QLatin1String("Added Associations") && group != QLatin1String("MIME Cache"))
                return;
            for (const QString& id : entries(value))
                found = found || desktopEntryExists(id, appDirs);
        });
        if (found)
            return true;
    }

    for (const QString& dir : appDirs) {
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (desktopEntryTakes(it.next(), mimeTypes))
                return true;
    }
    return false;
}

bool XdgShellOpen::Open(const QString& target)
{
    const QFileInfo file(target);
    if (file.isAbsolute() && file.exists()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(file);
        if (!xdgHasApplicationFor(QStringList{type.name()} + type.aliases(), XdgDirs::fromEnvironment()))
            return false;
    }
    return QtShellOpen::Open(target);
}
