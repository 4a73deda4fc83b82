#include "helpfiles.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString HelpFileName = QStringLiteral("Scrawlix_Help.chm");
}

QStringList helpFolders(const QString& programDir, bool windows)
{
    const QString beside = QDir::cleanPath(programDir);
    if (windows)
        return {beside};
    return {QDir::cleanPath(programDir + QStringLiteral("/../share/scrawlix")), beside};
}

QString findHelpFile(const QString& programDir, bool windows)
{
    for (const QString& folder : helpFolders(programDir, windows)) {
        const QString file = folder + QLatin1Char('/') + HelpFileName;
        if (QFileInfo(file).isFile())
            return file;
    }
    // The path that Help has always used: the folder, then a forward slash and the name.
    return programDir + QLatin1Char('/') + HelpFileName;
}

QString helpPagesIndex(const QString& helpFile)
{
    return QFileInfo(helpFile).absolutePath() + QStringLiteral("/help/index.html");
}
