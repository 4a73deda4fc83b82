#include "imagecheck.h"

#include <QtEndian>

#include <cstring>
#include <limits>

namespace {

// Outcome of walking a file's structure.
enum class Walk { Complete, EndsEarly, Unknown };

quint32 le16(const uchar* p) { return qFromLittleEndian<quint16>(p); }
quint32 le32(const uchar* p) { return qFromLittleEndian<quint32>(p); }
quint32 be16(const uchar* p) { return qFromBigEndian<quint16>(p); }
quint32 be32(const uchar* p) { return qFromBigEndian<quint32>(p); }

Walk walkBmp(const uchar* d, qint64 size)
{
    if (size < 18)
        return Walk::EndsEarly;
    const qint64 offBits = le32(d + 10);
    const quint32 dibSize = le32(d + 14);
    qint64 width = 0;
    qint64 height = 0;
    quint32 bpp = 0;
    quint32 compression = 0;
    qint64 sizeImage = 0;
    if (dibSize == 12) {
        if (size < 26)
            return Walk::EndsEarly;
        width = le16(d + 18);
        height = le16(d + 20);
        bpp = le16(d + 24);
    } else if (dibSize >= 40) {
        if (size < 54)
            return Walk::EndsEarly;
        width = static_cast<qint32>(le32(d + 18));
        height = static_cast<qint32>(le32(d + 22));
        bpp = le16(d + 28);
        compression = le32(d + 30);
        sizeImage = le32(d + 34);
    } else {
        return Walk::Unknown;
    }
    if (height < 0)
        height = -height; // top-down rows
    if (width <= 0 || bpp == 0 || bpp > 64)
        return Walk::Unknown;

    qint64 pixelBytes = 0;
    switch (compression) {
    case 0: // uncompressed
    case 3: // bit fields
    case 6: { // bit fields with alpha
        const qint64 stride = (width * bpp + 31) / 32 * 4;
        if (height > (std::numeric_limits<qint64>::max() - offBits) / stride)
            return Walk::EndsEarly;
        pixelBytes = stride * height;
        break;
    }
    case 1: // run-length encoded: only the announced size tells
    case 2:
        pixelBytes = sizeImage;
        break;
    default:
        return Walk::Unknown;
    }
    return size < offBits + pixelBytes ? Walk::EndsEarly : Walk::Complete;
}

Walk walkJpeg(const uchar* d, qint64 size)
{
    if (size < 2 || d[0] != 0xFF || d[1] != 0xD8)
        return Walk::Unknown;
    qint64 pos = 2;
    for (;;) {
        if (pos >= size)
            return Walk::EndsEarly;
        if (d[pos] != 0xFF)
            return Walk::Unknown;
        while (pos < size && d[pos] == 0xFF) // fill bytes
            ++pos;
        if (pos >= size)
            return Walk::EndsEarly;
        const uchar marker = d[pos++];
        if (marker == 0xD9) // end of image
            return Walk::Complete;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
            continue; // markers without a length
        if (pos + 2 > size)
            return Walk::EndsEarly;
        const qint64 length = be16(d + pos);
        if (length < 2)
            return Walk::Unknown;
        if (pos + length > size)
            return Walk::EndsEarly;
        pos += length;
        if (marker != 0xDA)
            continue;
        // Entropy-coded data follows a start of scan. A 0xFF in it is always followed by 0x00
        // or a restart marker; anything else begins the next segment.
        for (;;) {
            const void* ff = std::memchr(d + pos, 0xFF, static_cast<size_t>(size - pos));
            if (!ff)
                return Walk::EndsEarly;
            pos = static_cast<const uchar*>(ff) - d;
            if (pos + 1 >= size)
                return Walk::EndsEarly;
            const uchar next = d[pos + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                pos += 2;
                continue;
            }
            break;
        }
    }
}

// Skips a chain of GIF data sub-blocks ending with an empty one.
bool skipGifSubBlocks(const uchar* d, qint64 size, qint64& pos)
{
    for (;;) {
        if (pos >= size)
            return false;
        const qint64 n = d[pos++];
        if (n == 0)
            return true;
        pos += n;
    }
}

Walk walkGif(const uchar* d, qint64 size)
{
    if (size < 13)
        return Walk::EndsEarly;
    qint64 pos = 13;
    if (d[10] & 0x80) // global colour table
        pos += qint64(3) << ((d[10] & 7) + 1);
    for (;;) {
        if (pos >= size)
            return Walk::EndsEarly;
        const uchar block = d[pos++];
        if (block == 0x21) { // extension: label, then sub-blocks
            ++pos;
            if (!skipGifSubBlocks(d, size, pos))
                return Walk::EndsEarly;
        } else if (block == 0x2C) { // image: descriptor, local colour table, LZW data
            if (pos + 9 > size)
                return Walk::EndsEarly;
            const uchar packed = d[pos + 8];
            pos += 9;
            if (packed & 0x80)
                pos += qint64(3) << ((packed & 7) + 1);
            ++pos; // LZW minimum code size
            // The first picture is the one shown; it must be whole.
            return skipGifSubBlocks(d, size, pos) ? Walk::Complete : Walk::EndsEarly;
        } else {
            return Walk::Unknown; // the trailer before any picture, or garbage
        }
    }
}

Walk walkPng(const uchar* d, qint64 size)
{
    qint64 pos = 8; // signature
    for (;;) {
        if (pos + 8 > size)
            return Walk::EndsEarly;
        const qint64 length = be32(d + pos);
        if (length > 0x7FFFFFFF)
            return Walk::Unknown;
        const bool end = std::memcmp(d + pos + 4, "IEND", 4) == 0;
        pos += 8 + length + 4; // length, type, data, CRC
        if (pos > size)
            return Walk::EndsEarly;
        if (end)
            return Walk::Complete;
    }
}

} // namespace

bool imageDataEndsEarly(const QByteArray& format, const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    Walk w = Walk::Unknown;
    if (format == "bmp")
        w = walkBmp(d, size);
    else if (format == "jpeg" || format == "jpg")
        w = walkJpeg(d, size);
    else if (format == "gif")
        w = walkGif(d, size);
    else if (format == "png")
        w = walkPng(d, size);
    return w == Walk::EndsEarly;
}

QByteArray withoutJpegComments(const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    if (size < 2 || d[0] != 0xFF || d[1] != 0xD8)
        return data;
    QByteArray out;
    out.reserve(data.size());
    qint64 pos = 2;
    qint64 kept = 0; // start of the bytes not yet copied
    while (pos + 4 <= size && d[pos] == 0xFF) {
        const qint64 start = pos;
        while (pos < size && d[pos] == 0xFF)
            ++pos;
        if (pos >= size)
            break;
        const uchar marker = d[pos++];
        if (marker == 0xD9)
            break;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
            continue;
        if (pos + 2 > size)
            break;
        const qint64 length = be16(d + pos);
        if (length < 2 || pos + length > size)
            break;
        pos += length;
        if (marker == 0xFE) { // a comment: leave it out
            out.append(data.constData() + kept, int(start - kept));
            kept = pos;
            continue;
        }
        if (marker != 0xDA)
            continue;
        // Skip the entropy-coded data after a start of scan, up to the next real marker.
        for (;;) {
            const void* ff = std::memchr(d + pos, 0xFF, static_cast<size_t>(size - pos));
            if (!ff) {
                pos = size;
                break;
            }
            pos = static_cast<const uchar*>(ff) - d;
            if (pos + 1 >= size)
                break;
            const uchar next = d[pos + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                pos += 2;
                continue;
            }
            break;
        }
    }
    if (kept == 0)
        return data;
    out.append(data.constData() + kept, int(size - kept));
    return out;
}

QSize bmpHeaderSize(const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    if (data.size() < 26 || !data.startsWith("BM"))
        return {};
    const quint32 dibSize = le32(d + 14);
    if (dibSize == 12)
        return QSize(int(le16(d + 18)), int(le16(d + 20)));
    if (dibSize < 40 || data.size() < 26)
        return {};
    const qint64 width = static_cast<qint32>(le32(d + 18));
    const qint64 height = static_cast<qint32>(le32(d + 22));
    // Top-down rows have a negative height; the size is what counts.
    const auto side = [](qint64 v) { return int(qMin<qint64>(qAbs(v), 0x7FFFFFFF)); };
    return QSize(side(width), side(height));
}
