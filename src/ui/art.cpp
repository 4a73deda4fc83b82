#include "art.h"

#include <QPainter>

#ifdef SCRAWLIX_ART_PNG
#include <QDir>
#include <QFileInfo>
#else
#include <QSvgRenderer>
#endif

namespace {

QPixmap transparentPixmap(const QSize& size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    return pm;
}

} // namespace

#ifdef SCRAWLIX_ART_PNG

// Built without Qt SVG, the program carries each drawing rendered at the sizes it is shown, as
// ":/<path>-<width>x<height>.png". A size it was not rendered at is scaled from the largest one.
QPixmap artPixmap(const QString& path, const QSize& size)
{
    const QString exact =
        QStringLiteral(":/%1-%2x%3.png").arg(path).arg(size.width()).arg(size.height());
    QPixmap pm(exact);
    if (!pm.isNull())
        return pm;
    const QFileInfo file(QStringLiteral(":/") + path);
    const QStringList rendered =
        file.dir().entryList({file.fileName() + QStringLiteral("-*x*.png")}, QDir::Files);
    QPixmap largest;
    for (const QString& name : rendered) {
        const QPixmap candidate(file.dir().filePath(name));
        if (candidate.width() * candidate.height() > largest.width() * largest.height())
            largest = candidate;
    }
    if (largest.isNull())
        return transparentPixmap(size);
    return largest.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

#else

QPixmap artPixmap(const QString& path, const QSize& size)
{
    QPixmap pm = transparentPixmap(size);
    QSvgRenderer svg(QStringLiteral(":/") + path + QStringLiteral(".svg"));
    if (!svg.isValid())
        return pm;
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    return pm;
}

#endif

QIcon artIcon(const QString& path)
{
    QIcon icon;
    icon.addPixmap(artPixmap(path, QSize(16, 16)));
    icon.addPixmap(artPixmap(path, QSize(32, 32)));
    return icon;
}

QCursor artCursor(const QString& path, int hotX, int hotY)
{
    return QCursor(artPixmap(path, QSize(32, 32)), hotX, hotY);
}
