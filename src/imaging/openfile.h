#pragma once

// Reading a picture file that the user picked. Anything can be picked: a device, a pipe, a file
// that never ends, a picture whose headers lie, a format that takes minutes to decode. These
// routines read only regular files, read at most a fixed number of bytes, decode only the raster
// formats below, and check the picture's size after decoding as well as before.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGlobal>

#include <atomic>

// What opening a file may cost.
struct OpenLimits {
    qint64 maxFileBytes = qint64(512) * 1024 * 1024;
    // The canvas holds the picture, the drawing over it and a snapshot, each four bytes a pixel.
    int maxSide = 16384;
    qint64 maxPixels = qint64(8192) * 8192;
    int allocationLimitMB = 256; // the most that one decoded picture may take
};

// The image in a file, or a null image and the reason it could not be read.
struct LoadedImage {
    QImage image;
    QString reason;
    bool cancelled = false; // the user gave up waiting; there is nothing to tell
};

// What lies at path, after symbolic links: empty for a regular file, else why it cannot be opened
// ("The file does not exist.", "... is a named pipe ...", ...).
QString notARegularFile(const QString& path);

// The bytes of a regular file, counted as they arrive: a file that yields more than maxBytes is
// refused, whatever size the file system reports. Stops early, with cancelled set, when cancel
// becomes true.
LoadedImage readFileBounded(const QString& path, qint64 maxBytes, QByteArray* data,
                            const std::atomic_bool* cancel = nullptr);

// The decoder for the data, found from its first bytes: "bmp", "png", "jpeg", "gif", "ico", "pbm",
// "pgm", "ppm", or empty for anything else (SVG, compressed or not, included).
QByteArray rasterFormatOf(const QByteArray& data);

// Decodes the data into an RGB32 or premultiplied ARGB32 image, or says why it cannot.
LoadedImage decodeImageData(const QByteArray& data, const OpenLimits& limits = {},
                            const std::atomic_bool* cancel = nullptr);

// readFileBounded, then decodeImageData.
LoadedImage readImageFile(const QString& path, const OpenLimits& limits = {},
                          const std::atomic_bool* cancel = nullptr);

// The message for a picture of the given size, or empty when it is within the limits.
QString tooLargeReason(QSize size, const OpenLimits& limits);
