#pragma once

// Desktop scaling. The program works in device pixels throughout: the canvas shows the screen
// pixel for pixel, and the window system reports window rectangles in device pixels. So Qt's own
// scaling is turned off before the application object exists, and the desktop's scale reaches the
// program as dots per inch instead: Qt reads Xft.dpi itself, fonts in points grow with it, and
// twips per pixel is 1440 / dpi. Qt's scale variables are folded into that dpi.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

struct ScaleEnvironment {
    QList<QPair<QByteArray, QByteArray>> set; // variables to set, in order
    QList<QByteArray> unset;                  // variables to remove
};

// What to change in the environment, from Qt's scale variables as the user set them
// (QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS: the first screen's factor, QT_FONT_DPI) and the
// desktop's dots per inch (0 when unknown, taken as 96).
ScaleEnvironment deviceScaleEnvironment(const QString& scaleFactor, const QString& screenFactors,
                                        const QString& fontDpi, double desktopDpi);

// The Xft.dpi resource in the text of the RESOURCE_MANAGER property; 0 when it is not there.
double xftDpiFromResources(const QByteArray& resources);

// Applies deviceScaleEnvironment to this process, asking the window system for its dpi first.
void useDevicePixels(const QString& qpaPlatform, const QString& display);
