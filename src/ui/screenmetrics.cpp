#include "screenmetrics.h"

#include "platform/units.h"

#include <QGuiApplication>
#include <QScreen>

double screenTwipsPerPixelX()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return units::twipsPerPixel(s ? s->logicalDotsPerInchX() : 96.0);
}

double screenTwipsPerPixelY()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return units::twipsPerPixel(s ? s->logicalDotsPerInchY() : 96.0);
}
