#pragma once

// The pieces of saving, opening and printing that SaveImage, OpenImage and PrintImage are made
// of.

#include <QImage>
#include <QString>
#include <QtGlobal>
#include <memory>

class QPrinter;

// The file types both file dialogs offer, in the common dialog's "description|pattern" form.
extern const QString ImageFileFilter;

// Pictures larger than this are refused when opened: the canvas holds the picture, the drawing
// over it and a snapshot, each four bytes a pixel.
constexpr int MaxOpenedSide = 16384;
constexpr qint64 MaxOpenedPixels = qint64(8192) * 8192;
constexpr int OpenAllocationLimitMB = 256; // what Qt's decoders may allocate
constexpr qint64 MaxOpenedFileBytes = qint64(512) * 1024 * 1024;

// Writes the image as a BMP file, replacing the file of that name only once the whole file has
// been written; a failed write leaves an existing file as it was. On failure, reason says why.
bool writeBmpFile(const QImage& image, const QString& path, QString* reason);

// The image in a file, or a null image and the reason it could not be read: missing, unreadable,
// not a picture, cut short, or too large.
struct LoadedImage {
    QImage image;
    QString reason;
};
LoadedImage readImageFile(const QString& path);

// The printer that printing goes to: the default printer, else the first one there is. Null when
// there is none.
std::unique_ptr<QPrinter> chooseSystemPrinter();

// A file's full name as messages show it, with the platform's separators.
QString shownPath(const QString& path);
