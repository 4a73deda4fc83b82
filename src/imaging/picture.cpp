#include "picture.h"

#include "platform/units.h"

Picture::Picture(QImage image, QVector<QRgb> palette, double dpiX, double dpiY)
    : image_(std::move(image)), palette_(std::move(palette)), dpiX_(dpiX), dpiY_(dpiY)
{
}

int Picture::Width() const
{
    return isNull() ? 0 : units::pixelsToHimetric(image_.width(), dpiX_);
}

int Picture::Height() const
{
    return isNull() ? 0 : units::pixelsToHimetric(image_.height(), dpiY_);
}
