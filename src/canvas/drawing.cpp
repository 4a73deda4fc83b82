#include "drawing.h"

#include "platform/units.h"

#include <QPainter>
#include <QPen>
#include <cmath>

namespace {

QRect padded(const QRectF& r, double pad, const QImage& image)
{
    return r.adjusted(-pad, -pad, pad, pad).toAlignedRect().intersected(image.rect());
}

QPen roundPen(const QColor& color, int width)
{
    QPen pen(color, std::max(1, width), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return pen;
}

} // namespace

QRect drawLine(QImage& image, const QPointF& from, const QPointF& to, const QColor& color, int width)
{
    if (image.isNull())
        return {};
    QPainter p(&image);
    p.setPen(roundPen(color, width));
    if (from == to)
        p.drawPoint(from);
    else
        p.drawLine(from, to);
    return padded(QRectF(from, to).normalized(), width / 2.0 + 2, image);
}

QRect drawCircle(QImage& image, const QPointF& centre, double radius, int outlineWidth,
                 const QColor& outlineColor, bool filled, const QColor& fillColor)
{
    if (image.isNull())
        return {};
    QPainter p(&image);
    p.setPen(roundPen(outlineColor, outlineWidth));
    if (filled)
        p.setBrush(fillColor);
    else
        p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius);
    const QRectF bounds(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    return padded(bounds, outlineWidth / 2.0 + 2, image);
}

QRect drawBox(QImage& image, const QPointF& a, const QPointF& b, int width, const QColor& color,
              bool filled)
{
    if (image.isNull())
        return {};
    const QRectF box = QRectF(a, b).normalized();
    QPainter p(&image);
    p.setPen(QPen(color, std::max(1, width), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    // Filled with the line colour, outline included.
    p.setBrush(filled ? QBrush(color) : QBrush(Qt::NoBrush));
    p.drawRect(box);
    return padded(box, width / 2.0 + 2, image);
}

QRect stampAnd(QImage& image, const QImage& block, int left, int top)
{
    if (image.isNull() || block.isNull())
        return {};
    QPainter p(&image);
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    p.drawImage(QPoint(left, top), block);
    return QRect(left, top, block.width(), block.height()).intersected(image.rect());
}

int stampEdge(double v, int w)
{
    return static_cast<int>(units::roundHalfEven(v - w / 2.0));
}
