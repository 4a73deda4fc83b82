#include "runkeypath.h"

QString runKeyValueForProgram(const QString& nativeProgramPath)
{
    // The folder ends at the last separator; a forward slash counts too, so a path that
    // slipped through unconverted still splits where it should.
    const qsizetype slash = qMax(nativeProgramPath.lastIndexOf(QLatin1Char('\\')),
                           nativeProgramPath.lastIndexOf(QLatin1Char('/')));
    const QString folder = slash >= 0 ? nativeProgramPath.left(slash) : QString();
    QString name = nativeProgramPath.mid(slash + 1);

    // Only the last dot of the file name starts the extension: my.tool.exe is "my.tool".
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);

    const QString file = name + QLatin1String(".exe");
    if (slash < 0)
        return file;
    return folder + QLatin1Char('\\') + file;
}
