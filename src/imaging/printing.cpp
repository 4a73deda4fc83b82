#include "printing.h"

#include "picture.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <cfloat>
#include <cmath>

namespace {

// Twips in one unit of the given scale.
double twipsPerUnit(int unit, double pixelsPerInch)
{
    switch (unit) {
    case scale::Twips:
        return 1.0;
    case scale::Pixels:
        if (!(pixelsPerInch > 0))
            throw PrinterError("The printer reports no resolution.");
        return 1440.0 / pixelsPerInch;
    case scale::Himetric:
        return 1440.0 / 2540.0;
    default:
        throw PrinterError("Unknown scale unit.");
    }
}

// A double that must fit a single-precision number.
float toSingle(double v)
{
    if (!std::isfinite(v) || std::fabs(v) > FLT_MAX)
        throw PrinterError("Overflow in the page arithmetic.");
    return static_cast<float>(v);
}

} // namespace

float scaleConvert(float value, int fromUnit, int toUnit, double pixelsPerInch)
{
    const double from = twipsPerUnit(fromUnit, pixelsPerInch);
    const double to = twipsPerUnit(toUnit, pixelsPerInch);
    return toSingle(static_cast<double>(value) * from / to);
}

int orientationForPicture(int widthHimetric, int heightHimetric)
{
    return heightHimetric >= widthHimetric ? orientation::Portrait : orientation::Landscape;
}

std::optional<PrintSize> fitToPrintableArea(int pictureWidth, int pictureHeight,
                                            float printableWidth, float printableHeight)
{
    if (pictureHeight == 0 || printableHeight == 0)
        return std::nullopt;
    const double picRatio = static_cast<double>(pictureWidth) / pictureHeight;
    const double prnRatio = static_cast<double>(printableWidth) / printableHeight;
    try {
        PrintSize out;
        if (picRatio >= prnRatio) {
            if (picRatio == 0)
                return std::nullopt;
            out.width = printableWidth;
            out.height = toSingle(printableWidth / picRatio);
        } else {
            out.height = printableHeight;
            out.width = toSingle(printableHeight * picRatio);
        }
        return out;
    } catch (const PrinterError&) {
        return std::nullopt;
    }
}

QMarginsF pageMargins(const QMarginsF& sheetBorder, bool landscape)
{
    if (!landscape)
        return sheetBorder;
    return {sheetBorder.bottom(), sheetBorder.left(), sheetBorder.top(), sheetBorder.right()};
}

bool PrintPictureToFitPage(PrinterSurface& printer, const Picture& picture)
{
    try {
        const int picWidth = picture.Width();
        const int picHeight = picture.Height();
        printer.setOrientation(orientationForPicture(picWidth, picHeight));
        const int mode = printer.ScaleMode();
        const float prnWidth = printer.ScaleX(printer.ScaleWidth(), mode, scale::Himetric);
        const float prnHeight = printer.ScaleY(printer.ScaleHeight(), mode, scale::Himetric);
        const std::optional<PrintSize> out =
            fitToPrintableArea(picWidth, picHeight, prnWidth, prnHeight);
        if (!out)
            return false;
        const float outWidth = printer.ScaleX(out->width, scale::Himetric, mode);
        const float outHeight = printer.ScaleY(out->height, scale::Himetric, mode);
        printer.PaintPicture(picture, 0, 0, outWidth, outHeight);
        printer.EndDoc();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// QtPrinterSurface -------------------------------------------------------------------------------

QtPrinterSurface::QtPrinterSurface(QPrinter& printer) : printer_(printer) {}

QtPrinterSurface::~QtPrinterSurface()
{
    // A document left open is abandoned rather than sent.
    if (painter_) {
        if (painter_->isActive())
            printer_.abort();
        delete painter_;
    }
}

bool QtPrinterSurface::printing() const
{
    return painter_ && painter_->isActive();
}

void QtPrinterSurface::setOrientation(int value)
{
    if (value != orientation::Portrait && value != orientation::Landscape)
        throw PrinterError("Invalid orientation.");
    printer_.setPageOrientation(value == orientation::Landscape ? QPageLayout::Landscape
                                                                : QPageLayout::Portrait);
}

// Qt keeps the printer's margins as they are when the page turns, so a landscape page would
// reach into the border the printer cannot print on wherever the margins differ. The printable
// area is therefore worked out here from the sheet's border, and the painter covers the whole page.
QRectF QtPrinterSurface::printableRect() const
{
    const QPageLayout layout = printer_.pageLayout();
    const double k = printer_.resolution() / 72.0;
    const QMarginsF margins = pageMargins(layout.margins(QPageLayout::Point),
                                          layout.orientation() == QPageLayout::Landscape);
    return QRectF(QPointF(0, 0), layout.fullRectPoints().size() * k).marginsRemoved(margins * k);
}

// The printable area is measured in the device pixels the painter draws in, so that a picture of
// ScaleWidth twips spans it exactly.
float QtPrinterSurface::ScaleWidth() const
{
    return scaleConvert(static_cast<float>(printableRect().width()), scale::Pixels, scale::Twips,
                        printer_.resolution());
}

float QtPrinterSurface::ScaleHeight() const
{
    return scaleConvert(static_cast<float>(printableRect().height()), scale::Pixels, scale::Twips,
                        printer_.resolution());
}

float QtPrinterSurface::ScaleX(float value, int fromUnit, int toUnit) const
{
    return scaleConvert(value, fromUnit, toUnit, printer_.resolution());
}

float QtPrinterSurface::ScaleY(float value, int fromUnit, int toUnit) const
{
    return scaleConvert(value, fromUnit, toUnit, printer_.resolution());
}

void QtPrinterSurface::PaintPicture(const Picture& picture, float x, float y, float width,
                                    float height)
{
    if (picture.isNull())
        throw PrinterError("There is no picture to print.");
    const QRectF area = printableRect();
    if (!printing()) {
        if (!painter_)
            painter_ = new QPainter;
        printer_.setFullPage(true);
        if (!painter_->begin(&printer_))
            throw PrinterError("The printer could not start the document.");
    }
    // The painter's origin is the page's top-left corner, in device pixels.
    const double k = printer_.resolution() / 1440.0;
    painter_->setRenderHint(QPainter::SmoothPixmapTransform);
    painter_->drawImage(QRectF(area.x() + x * k, area.y() + y * k, width * k, height * k),
                        picture.image());
}

void QtPrinterSurface::EndDoc()
{
    if (!printing())
        return;
    const bool ok = painter_->end();
    if (!ok || printer_.printerState() == QPrinter::Error)
        throw PrinterError("The printer did not accept the document.");
}
