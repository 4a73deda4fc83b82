// Image files: writing BMP files, reading pictures with their failures explained, and finding the
// printer.

#include "fileio.h"

#include "platform/filenames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QtEndian>

QString imageFileFilter()
{
    // Only the descriptions are the user's to read; the patterns are the dialog's.
    const auto shown = [](const char* text) {
        return QCoreApplication::translate("Imaging", text);
    };
    return shown(QT_TRANSLATE_NOOP("Imaging", "Bitmap Image (*.bmp)")) + QStringLiteral("|*.bmp|") +
           shown(QT_TRANSLATE_NOOP("Imaging", "JPEG Image (*.jpg; *.jpeg)")) +
           QStringLiteral("|*.jpg; *.jpeg|") +
           shown(QT_TRANSLATE_NOOP("Imaging", "Compuserve GIF Image (*.gif)")) +
           QStringLiteral("|*.gif|") + shown(QT_TRANSLATE_NOOP("Imaging", "All Files (*.*)")) +
           QStringLiteral("|*.*");
}

// Qt's error texts are bare phrases ("Permission denied"); the message boxes want sentences.
QString errorSentence(QString text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return QCoreApplication::translate("Imaging", "The reason is not known.");
    text[0] = text[0].toUpper();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

namespace {

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
        return QCoreApplication::translate("Imaging", "The picture is too large for a BMP file.");

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return errorSentence(file.errorString());
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
        const QString why = errorSentence(file.errorString());
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return errorSentence(file.errorString());
    return {};
}

} // namespace

QString shownPath(const QString& path)
{
    QString shown = QDir::toNativeSeparators(QFileInfo(filenames::shownName(path)).absoluteFilePath());
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    if (shown.size() > ShownPathLength) {
        // The start says where, the end which file.
        qsizetype head = ShownPathLength / 3;
        qsizetype tail = ShownPathLength - head - 1;
        if (shown.at(head - 1).isHighSurrogate()) // whole characters only
            --head;
        if (shown.at(shown.size() - tail).isLowSurrogate())
            --tail;
        shown = shown.left(head) + QChar(0x2026) + shown.right(tail);
    }
    return shown;
}

// Writing ---------------------------------------------------------------------------------------

bool writeBmpFile(const QImage& image, const QString& path, QString* reason)
{
    QString why;
    const QFileInfo info(path);
    if (image.isNull()) {
        why = QCoreApplication::translate("Imaging", "There is no picture to save.");
    } else if (info.isDir()) {
        why = QCoreApplication::translate("Imaging", "That name belongs to a folder.");
    } else if (!info.absoluteDir().exists()) {
        why = QCoreApplication::translate("Imaging", "The folder %1 does not exist.")
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
