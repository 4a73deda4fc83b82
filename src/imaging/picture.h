#pragma once

#include <QImage>
#include <QVector>

// A screen-compatible picture: pixels, the display palette on palette displays, and its size in
// HIMETRIC (1/100 mm). Copies share the pixels.
class Picture
{
public:
    Picture() = default;
    Picture(QImage image, QVector<QRgb> palette, double dpiX, double dpiY);

    bool isNull() const { return image_.isNull(); }
    const QImage& image() const { return image_; }

    // Size in HIMETRIC: pixels x 2540 / dpi, rounded.
    int Width() const;
    int Height() const;

private:
    QImage image_;
    QVector<QRgb> palette_;
    double dpiX_ = 96;
    double dpiY_ = 96;
};
