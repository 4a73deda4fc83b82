#include "xdgfiles.h"

#include <QDir>

QStringList xdgAbsoluteDirs(const QString& list)
{
    QStringList out;
    for (const QString& dir : list.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            out << dir;
    return out;
}

bool isKeyFileGroupHeader(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'));
}

QString keyFileKeyOf(const QString& line)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char('#')))
        return {};
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : t.left(eq).trimmed();
}
