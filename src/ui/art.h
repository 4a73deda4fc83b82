#pragma once

// The program's drawings (cursors, icons, pictures) are SVG files compiled into the binary under
// ":/cursors", ":/icons" and ":/images" (in a build without Qt SVG, as PNG pictures rendered from
// them at build time). These render them at the size they are shown.

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// path is relative to the resource root without extension, e.g. "icons/copy".
QPixmap artPixmap(const QString& path, const QSize& size);
// An icon rendered at 16 x 16 and 32 x 32.
QIcon artIcon(const QString& path);
// A 32 x 32 cursor with the given hot spot.
QCursor artCursor(const QString& path, int hotX, int hotY);
