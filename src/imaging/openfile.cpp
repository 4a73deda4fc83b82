#include "openfile.h"

#include "fileio.h"
#include "imagecheck.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

#include <filesystem>
#include <system_error>

namespace {

bool cancelled(const std::atomic_bool* cancel) { return cancel && cancel->load(); }

LoadedImage refused(const QString& reason)
{
    LoadedImage r;
    r.reason = reason;
    return r;
}

LoadedImage givenUp()
{
    LoadedImage r;
    r.cancelled = true;
    return r;
}

QString notAPicture()
{
    return QCoreApplication::translate("Imaging",
                                       "The file is not a picture in a format Scrawlix can read.");
}

bool isNetpbmSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

} // namespace

QString notARegularFile(const QString& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    // status() follows symbolic links: a link to /dev/zero is a device.
    const fs::file_status st = fs::status(fs::path(path.toStdU16String()), ec);
    switch (st.type()) {
    case fs::file_type::regular:
        return {};
    case fs::file_type::not_found:
        return QCoreApplication::translate("Imaging", "The file does not exist.");
    case fs::file_type::directory:
        return QCoreApplication::translate("Imaging", "That name belongs to a folder.");
    case fs::file_type::fifo:
        return QCoreApplication::translate("Imaging",
                                           "The file is a named pipe (FIFO), not a picture file.");
    case fs::file_type::socket:
        return QCoreApplication::translate("Imaging", "The file is a socket, not a picture file.");
    case fs::file_type::character:
    case fs::file_type::block:
        return QCoreApplication::translate("Imaging", "The file is a device, not a picture file.");
    case fs::file_type::none:
        return errorSentence(QString::fromStdString(ec.message()));
    default:
        return QCoreApplication::translate("Imaging", "The file is not a regular file.");
    }
}

LoadedImage readFileBounded(const QString& path, qint64 maxBytes, QByteArray* data,
                            const std::atomic_bool* cancel)
{
    data->clear();
    const QString what = notARegularFile(path);
    if (!what.isEmpty())
        return refused(what);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return refused(errorSentence(file.errorString()));
    const auto tooLarge = [maxBytes] {
        return refused(QCoreApplication::translate(
                           "Imaging", "The file is too large; files of up to %1 MB can be opened.")
                           .arg(maxBytes / (1024 * 1024)));
    };
    // A file that says it is too large is refused before a byte is read. What it says is only a
    // hint otherwise: /proc files say 0, and a file can grow while it is read.
    const qint64 announced = file.size();
    if (announced > maxBytes)
        return tooLarge();
    data->reserve(int(qMin(announced, maxBytes) + 1));
    constexpr qint64 Chunk = qint64(1) << 20;
    for (;;) {
        if (cancelled(cancel))
            return givenUp();
        const qint64 had = data->size();
        if (had > maxBytes) {
            data->clear();
            data->squeeze();
            return tooLarge();
        }
        const qint64 want = qMin(Chunk, maxBytes + 1 - had);
        data->resize(had + want);
        const qint64 got = file.read(data->data() + had, want);
        if (got < 0) {
            data->clear();
            return refused(errorSentence(file.errorString()));
        }
        data->resize(had + got);
        if (got == 0)
            return {};
    }
}

QByteArray rasterFormatOf(const QByteArray& data)
{
    if (data.startsWith("BM"))
        return "bmp";
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (data.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return "gif";
    if (data.size() >= 6 && data.startsWith(QByteArray("\0\0\1\0", 4)) && data[4] | data[5])
        return "ico";
    if (data.size() >= 3 && data[0] == 'P' && isNetpbmSpace(data[2])) {
        switch (data[1]) {
        case '1': case '4': return "pbm";
        case '2': case '5': return "pgm";
        case '3': case '6': return "ppm";
        default: break;
        }
    }
    return {};
}

QString tooLargeReason(QSize size, const OpenLimits& limits)
{
    if (size.width() <= limits.maxSide && size.height() <= limits.maxSide &&
        qint64(size.width()) * size.height() <= limits.maxPixels)
        return {};
    return QCoreApplication::translate("Imaging",
                                       "The picture is too large (%1 x %2 pixels). Pictures of up "
                                       "to %3 pixels a side and %4 million pixels in all can be "
                                       "opened.")
        .arg(size.width())
        .arg(size.height())
        .arg(limits.maxSide)
        .arg(limits.maxPixels / 1000000);
}

LoadedImage decodeImageData(const QByteArray& original, const OpenLimits& limits,
                            const std::atomic_bool* cancel)
{
    // The content decides the format, not the name: a saved "shot.jpg" holds BMP data.
    const QByteArray format = rasterFormatOf(original);
    if (format.isEmpty())
        return refused(notAPicture());
    // Comments cost the JPEG decoder time and memory out of all proportion, and show nothing.
    const QByteArray data = format == "jpeg" ? withoutJpegComments(original) : original;

    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false); // this decoder and no other
    reader.setAllocationLimit(limits.allocationLimitMB);
    if (!reader.canRead())
        return refused(notAPicture());

    // The header's size first, which spares decoding most oversized pictures; a huge picture
    // is too large before it is incomplete...
    const QSize announced = format == "bmp" ? bmpHeaderSize(data) : reader.size();
    if (announced.isValid()) {
        const QString big = tooLargeReason(announced, limits);
        if (!big.isEmpty())
            return refused(big);
    }
    if (imageDataEndsEarly(format, original))
        return refused(QCoreApplication::translate(
            "Imaging", "The file is incomplete: it ends before the end of the picture."));
    if (cancelled(cancel))
        return givenUp();
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        if (cancelled(cancel))
            return givenUp();
        return refused(QCoreApplication::translate(
                           "Imaging", "The picture in the file could not be decoded (%1).")
                           .arg(reader.errorString()));
    }
    // ...then the picture itself, since a header can understate it: a GIF whose frame outgrows
    // its screen, an icon that holds a larger PNG.
    const QString big = tooLargeReason(image.size(), limits);
    if (!big.isEmpty())
        return refused(big);
    if (cancelled(cancel))
        return givenUp();
    LoadedImage result;
    result.image = image.convertToFormat(image.hasAlphaChannel()
                                             ? QImage::Format_ARGB32_Premultiplied
                                             : QImage::Format_RGB32);
    return result;
}

LoadedImage readImageFile(const QString& path, const OpenLimits& limits,
                          const std::atomic_bool* cancel)
{
    QByteArray data;
    LoadedImage read = readFileBounded(path, limits.maxFileBytes, &data, cancel);
    if (!read.reason.isEmpty() || read.cancelled)
        return read;
    return decodeImageData(data, limits, cancel);
}
