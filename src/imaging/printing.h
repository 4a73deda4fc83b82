#pragma once

// Printing a picture on one page, as large as the printable area allows, at its top-left corner.

#include <QMarginsF>
#include <QRectF>
#include <QtGlobal>
#include <optional>
#include <stdexcept>

class Picture;
class QPainter;
class QPrinter;

// Scale units of a printer: the unit its ScaleWidth and ScaleHeight are given in, and the units
// ScaleX and ScaleY convert between.
namespace scale {
constexpr int Twips = 1;
constexpr int Pixels = 3;
constexpr int Himetric = 8;
} // namespace scale

// Orientation codes.
namespace orientation {
constexpr int Portrait = 1;
constexpr int Landscape = 2;
} // namespace orientation

// A failure of the printer or of the page arithmetic.
class PrinterError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Converts a length between two scale units; pixelsPerInch serves the pixel unit. Throws
// PrinterError for a unit it does not know and for a result beyond single precision.
float scaleConvert(float value, int fromUnit, int toUnit, double pixelsPerInch);

// The orientation a picture prints in: portrait when it is at least as high as it is wide.
int orientationForPicture(int widthHimetric, int heightHimetric);

// The printed size of a picture in HIMETRIC.
struct PrintSize {
    float width = 0;
    float height = 0;
};

// The picture's size scaled to fill the width of the printable area when it is relatively wider
// than the area (ties included), else its height. All figures in HIMETRIC. Nothing when a ratio
// has a zero divisor or a result does not fit a single-precision number.
std::optional<PrintSize> fitToPrintableArea(int pictureWidth, int pictureHeight,
                                            float printableWidth, float printableHeight);

// The margins a page of the given orientation keeps clear of the sheet's unprintable border,
// given that border for the sheet upright. A landscape page reaches the sheet turned a quarter
// turn anticlockwise: its top lies along the sheet's left edge and its left along the bottom.
QMarginsF pageMargins(const QMarginsF& sheetBorder, bool landscape);

// The printer as a drawing surface. Lengths are in the surface's ScaleMode unit and measured from
// the top-left corner of the printable area. Failures throw PrinterError.
class PrinterSurface
{
public:
    virtual ~PrinterSurface() = default;

    virtual void setOrientation(int orientation) = 0;
    // The printable area.
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;
    virtual int ScaleMode() const = 0;
    virtual float ScaleX(float value, int fromUnit, int toUnit) const = 0;
    virtual float ScaleY(float value, int fromUnit, int toUnit) const = 0;
    // Draws the picture scaled into the rectangle; the first drawing starts the document.
    virtual void PaintPicture(const Picture& picture, float x, float y, float width,
                              float height) = 0;
    // Ends the document and sends it to the printer. Without an open document it does nothing.
    virtual void EndDoc() = 0;
};

// The surface over a QPrinter. Its unit is the twip; the document begins with the first picture,
// so the orientation can be chosen until then.
class QtPrinterSurface : public PrinterSurface
{
public:
    explicit QtPrinterSurface(QPrinter& printer);
    ~QtPrinterSurface() override;
    QtPrinterSurface(const QtPrinterSurface&) = delete;
    QtPrinterSurface& operator=(const QtPrinterSurface&) = delete;

    void setOrientation(int orientation) override;
    float ScaleWidth() const override;
    float ScaleHeight() const override;
    int ScaleMode() const override { return scale::Twips; }
    float ScaleX(float value, int fromUnit, int toUnit) const override;
    float ScaleY(float value, int fromUnit, int toUnit) const override;
    void PaintPicture(const Picture& picture, float x, float y, float width, float height) override;
    void EndDoc() override;

    // True while a document is open.
    bool printing() const;

private:
    // The printable area in device pixels, measured from the page's top-left corner.
    QRectF printableRect() const;

    QPrinter& printer_;
    QPainter* painter_ = nullptr;
};

// Chooses the orientation from the picture, scales it to the printable area, paints it at the
// area's top-left corner and ends the document. False, with nothing painted, when the arithmetic
// or the printer fails.
bool PrintPictureToFitPage(PrinterSurface& printer, const Picture& picture);
