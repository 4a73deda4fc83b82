#include "art.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

QPixmap artPixmap(const QString& path, const QSize& size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/") + path + QStringLiteral(".svg"));
    if (!svg.isValid())
        return pm;
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    return pm;
}

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
