// Saving the canvas as a BMP file, opening an image file onto the canvas, and printing the canvas.

#include "fileio.h"

#include "capture.h"
#include "platform/screenpixels.h"
#include "imagecheck.h"
#include "picture.h"
#include "platform/messagebox.h"
#include "platform/platform.h"
#include "platform/units.h"
#include "printing.h"
#include "shell/captureflow.h"
#include "shell/commands.h"
#include "shell/frmmain.h"
#include "shell/program.h"
#include "snapshot.h"
#include "toolbox/frmtoolbox.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPointer>
#include <QtEndian>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

const QString ImageFileFilter = QStringLiteral(
    "Bitmap Image (*.bmp)|*.bmp|JPEG Image (*.jpg; *.jpeg)|*.jpg; *.jpeg|"
    "Compuserve GIF Image (*.gif)|*.gif|All Files (*.*)|*.*");

namespace {

const QString AppTitle = QStringLiteral("Scrawlix");

// Qt's error texts are bare phrases ("Permission denied"); the message boxes want sentences.
QString sentence(QString text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return QStringLiteral("The reason is not known.");
    text[0] = text[0].toUpper();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// Writes all the bytes. A write may take only part of the data; the next attempt then fails
// and the file's error says why.
bool writeAll(QSaveFile& file, const char* data, qint64 size)
{
    while (size > 0) {
        const qint64 n = file.write(data, size);
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

void putLe16(char* p, quint32 v) { qToLittleEndian(quint16(v), p); }
void putLe32(char* p, quint32 v) { qToLittleEndian(v, p); }

// The file and information headers of an uncompressed 24-bit BMP with bottom-up rows.
QByteArray bmpHeaders(const QImage& image, qint64 pixelBytes)
{
    QByteArray h(54, '\0');
    char* p = h.data();
    p[0] = 'B';
    p[1] = 'M';
    putLe32(p + 2, quint32(54 + pixelBytes)); // file size
    putLe32(p + 10, 54);                      // where the rows start
    putLe32(p + 14, 40);                      // information header size
    putLe32(p + 18, quint32(image.width()));
    putLe32(p + 22, quint32(image.height())); // positive: the bottom row comes first
    putLe16(p + 26, 1);                       // planes
    putLe16(p + 28, 24);                      // bits per pixel
    putLe32(p + 34, quint32(pixelBytes));
    putLe32(p + 38, quint32(qMax(0, image.dotsPerMeterX())));
    putLe32(p + 42, quint32(qMax(0, image.dotsPerMeterY())));
    return h;
}

// Writes the image as a 24-bit BMP to a temporary file beside the target, which replaces the
// target only once everything has been written. The rows are converted and written a block at
// a time, so a large picture needs no second copy in memory. The reason of a failure, or nothing.
QString replaceWithBmp(const QString& path, const QImage& source)
{
    const QImage image = source.format() == QImage::Format_RGB32 ||
                                 source.format() == QImage::Format_ARGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const qint64 stride = (qint64(width) * 3 + 3) & ~qint64(3);
    if (stride * height > 0xFFFFFFFFLL - 54)
        return QStringLiteral("The picture is too large for a BMP file.");

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return sentence(file.errorString());
    const QByteArray headers = bmpHeaders(image, stride * height);
    bool ok = writeAll(file, headers.constData(), headers.size());
    constexpr qint64 BlockBytes = 1 << 20;
    const int rowsPerBlock = int(qMax<qint64>(1, BlockBytes / qMax<qint64>(1, stride)));
    QByteArray block(int(stride * qMin(rowsPerBlock, height)), '\0');
    for (int y = height - 1; ok && y >= 0;) {
        char* out = block.data();
        int rows = 0;
        for (; rows < rowsPerBlock && y >= 0; ++rows, --y) {
            const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            char* o = out + rows * stride;
            for (int x = 0; x < width; ++x) {
                *o++ = char(qBlue(in[x]));
                *o++ = char(qGreen(in[x]));
                *o++ = char(qRed(in[x]));
            }
        }
        ok = writeAll(file, block.constData(), rows * stride);
    }
    if (!ok) {
        const QString why = sentence(file.errorString());
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return sentence(file.errorString());
    return {};
}

} // namespace

// Writing ---------------------------------------------------------------------------------------

bool writeBmpFile(const QImage& image, const QString& path, QString* reason)
{
    QString why;
    const QFileInfo info(path);
    if (image.isNull()) {
        why = QStringLiteral("There is no picture to save.");
    } else if (info.isDir()) {
        why = QStringLiteral("That name belongs to a folder.");
    } else if (!info.absoluteDir().exists()) {
        why = QStringLiteral("The folder %1 does not exist.")
                  .arg(QDir::toNativeSeparators(info.absolutePath()));
    } else {
        why = replaceWithBmp(path, image);
    }
    if (why.isEmpty())
        return true;
    if (reason)
        *reason = why;
    return false;
}

void SaveImage(Program& program)
{
    QPointer<FrmMain> canvas = program.frmMain();
    if (!canvas)
        return;
    MessageBoxes& messages = *program.platform().messages;

    // The snapshot comes first, so the dialog is never in the picture.
    try {
        SnapshotCanvas(program, 0);
    } catch (const ProgramError& e) {
        messages.Show(QStringLiteral("The image could not be saved.\n") + e.source(),
                      mb::Exclamation, AppTitle);
        if (FrmToolbox* toolbox = program.frmToolbox())
            toolbox->show();
        return;
    }
    if (!canvas)
        return;

    Cmdlg& dialog = canvas->cmdlg;
    dialog.DialogTitle = QStringLiteral("Save Image...");
    dialog.DefaultExt = QStringLiteral(".bmp");
    dialog.Filter = ImageFileFilter;
    dialog.ShowSave();
    if (!canvas)
        return;
    const QString fileName = dialog.FileName;

    // Only BMP is written; a lower-case "png" name is warned about and still gets BMP data.
    if (fileName.endsWith(QLatin1String("png"), Qt::CaseSensitive))
        messages.Show(QStringLiteral("PNG ERROR!"), mb::OkOnly, AppTitle);
    if (fileName.isEmpty() || !canvas)
        return;

    QString reason;
    if (!writeBmpFile(canvas->picbox.image(), fileName, &reason))
        messages.Show(QStringLiteral("The image could not be saved as\n%1\n\n%2")
                          .arg(shownPath(fileName), reason),
                      mb::Exclamation, AppTitle);
}

// Reading ---------------------------------------------------------------------------------------

LoadedImage readImageFile(const QString& path)
{
    LoadedImage result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.reason = QStringLiteral("The file does not exist.");
        return result;
    }
    if (info.isDir()) {
        result.reason = QStringLiteral("That name belongs to a folder.");
        return result;
    }
    if (info.size() > MaxOpenedFileBytes) {
        result.reason = QStringLiteral("The file is too large (%1 MB); files of up to %2 MB can "
                                       "be opened.")
                            .arg(info.size() / (1024 * 1024))
                            .arg(MaxOpenedFileBytes / (1024 * 1024));
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.reason = sentence(file.errorString());
        return result;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.reason = sentence(file.errorString());
        return result;
    }
    file.close();

    // The content decides the format, not the name: a saved "shot.jpg" holds BMP data.
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(OpenAllocationLimitMB);
    if (!reader.canRead()) {
        result.reason = QStringLiteral("The file is not a picture in a format Scrawlix can read.");
        return result;
    }
    if (imageDataEndsEarly(reader.format(), data)) {
        result.reason = QStringLiteral("The file is incomplete: it ends before the end of the "
                                       "picture.");
        return result;
    }
    const QSize size = reader.size();
    if (size.isValid() &&
        (size.width() > MaxOpenedSide || size.height() > MaxOpenedSide ||
         qint64(size.width()) * size.height() > MaxOpenedPixels)) {
        result.reason = QStringLiteral("The picture is too large (%1 x %2 pixels). Pictures of up "
                                       "to %3 pixels a side and %4 million pixels in all can be "
                                       "opened.")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(MaxOpenedSide)
                            .arg(MaxOpenedPixels / 1000000);
        return result;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        result.reason = QStringLiteral("The picture in the file could not be decoded (%1).")
                            .arg(reader.errorString());
        return result;
    }
    result.image = image.convertToFormat(image.hasAlphaChannel()
                                             ? QImage::Format_ARGB32_Premultiplied
                                             : QImage::Format_RGB32);
    return result;
}

void OpenImage(Program& program)
{
    QPointer<FrmMain> canvas = program.frmMain();
    if (!canvas)
        return;
    Cmdlg& dialog = canvas->cmdlg;
    dialog.DialogTitle = QStringLiteral("Open Image...");
    dialog.DefaultExt = QStringLiteral(".bmp");
    dialog.Filter = ImageFileFilter;
    dialog.ShowOpen();
    if (!canvas)
        return;
    const QString fileName = dialog.FileName;
    if (fileName.isEmpty())
        return;

    // Read first: a file that cannot be read leaves the canvas, its picture and its drawing alone.
    const LoadedImage loaded = readImageFile(fileName);
    if (loaded.image.isNull()) {
        program.platform().messages->Show(
            QStringLiteral("The picture could not be opened from\n%1\n\n%2")
                .arg(shownPath(fileName), loaded.reason),
            mb::Exclamation, AppTitle);
        return;
    }

    // The canvas comes back in the normal state, in front, whether it was hidden, maximized over a
    // capture or normal. (Minimizing it first and restoring it at once, another way to bring a
    // window to the front, races with the X11 window manager, which may leave it minimized.)
    canvas->setCanvasState(FrmMain::Normal);
    const Picture picture = CreateBitmapPicture(CapturedBitmap{loaded.image, {}});
    canvas->setPicture(picture);
    canvas->setLeftTop(0, 0);
    canvas->setSizeTwips(units::himetricToTwips(picture.Width(), program.twipsPerPixelX()),
                         units::himetricToTwips(picture.Height(), program.twipsPerPixelY()));
    canvas->showCanvas();
    canvas->raise();
    canvas->activateWindow();

    if (FrmToolbox* toolbox = program.frmToolbox()) {
        toolbox->show();
        toolbox->setWindowState(Qt::WindowNoState);
        SetTopMost(program, toolbox);
    }
}

// Printing --------------------------------------------------------------------------------------

std::unique_ptr<QPrinter> chooseSystemPrinter()
{
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
        if (!all.isEmpty())
            info = all.first();
    }
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

void PrintImageWith(Program& program, const PrinterChooser& choosePrinter)
{
    QPointer<FrmMain> canvas = program.frmMain();
    if (!canvas)
        return;
    // Whatever goes wrong from here on ends the print without a word, except a missing printer.
    try {
        const std::unique_ptr<QPrinter> printer = choosePrinter();
        if (!printer) {
            program.platform().messages->Show(
                QStringLiteral("There is no available printer to use."), mb::Exclamation,
                QStringLiteral("Error"));
            return;
        }
        printer->setDocName(QStringLiteral("Scrawlix"));
        canvas->cmdlg.DialogTitle = QStringLiteral("Print Image...");
        // Printing goes ahead however the dialog was closed.
        canvas->cmdlg.ShowPrinter(printer.get());
        if (!canvas)
            return;
        SnapshotCanvas(program, 0);
        if (!canvas)
            return;
        QtPrinterSurface surface(*printer);
        PrintPictureToFitPage(surface, canvas->picbox);
        surface.EndDoc();
    } catch (const std::exception&) {
    }
}

void PrintImage(Program& program)
{
    PrintImageWith(program, chooseSystemPrinter);
}
