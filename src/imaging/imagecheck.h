#pragma once

// Structural checks on image files before they are decoded.

#include <QByteArray>

// True when the file ends before the data that its own headers announce: the pixel rows of a BMP,
// the end-of-image marker of a JPEG, the first picture's data of a GIF, the end chunk of a PNG.
// Qt's readers fill in what a cut-off BMP, JPEG or GIF lacks and report success, so this is
// where a truncated file is caught. format is QImageReader's name for the content ("bmp",
// "jpeg", "gif", "png"); other formats, and structures that make no sense, are left to the
// decoder and give false.
bool imageDataEndsEarly(const QByteArray& format, const QByteArray& data);
