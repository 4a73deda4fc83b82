#pragma once

// Structural checks on image files before they are decoded.

#include <QByteArray>
#include <QSize>

// True when the file ends before the data that its own headers announce: the pixel rows of a BMP,
// the end-of-image marker of a JPEG, the first picture's data of a GIF, the end chunk of a PNG.
// Qt's readers fill in what a cut-off BMP, JPEG or GIF lacks and report success, so this is
// where a truncated file is caught. format is QImageReader's name for the content ("bmp",
// "jpeg", "gif", "png"); other formats, and structures that make no sense, are left to the
// decoder and give false.
bool imageDataEndsEarly(const QByteArray& format, const QByteArray& data);

// The JPEG data without its comment segments, which the decoder would otherwise collect into the
// picture's text at a cost that grows with their number. Data that does not parse as JPEG
// segments is returned as it is from the first byte that does not.
QByteArray withoutJpegComments(const QByteArray& data);

// The size that a BMP's header gives, or an invalid size when the data is no BMP. Qt's reader
// gives no size at all for headers whose pixels would not fit in memory.
QSize bmpHeaderSize(const QByteArray& data);
