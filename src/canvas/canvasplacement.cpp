#include "canvasplacement.h"

#include "frmmain.h"
#include "platform/units.h"
#include "ui/screenmetrics.h"

double canvasLeft(const FrmMain& canvas)
{
    return canvas.canvasGeometry().x() * screenTwipsPerPixelX();
}

double canvasTop(const FrmMain& canvas)
{
    return canvas.canvasGeometry().y() * screenTwipsPerPixelY();
}

void moveCanvasTo(FrmMain& canvas, double leftTwips, double topTwips)
{
    QRect r = canvas.canvasGeometry();
    r.moveTo(units::twipsToPixels(leftTwips, screenTwipsPerPixelX()),
             units::twipsToPixels(topTwips, screenTwipsPerPixelY()));
    canvas.setCanvasGeometry(r);
}

void moveCanvasToPixel(FrmMain& canvas, QPoint topLeft)
{
    QRect r = canvas.canvasGeometry();
    r.moveTo(topLeft);
    canvas.setCanvasGeometry(r);
}

void sizeCanvas(FrmMain& canvas, double widthTwips, double heightTwips)
{
    QRect r = canvas.canvasGeometry();
    r.setSize(QSize(units::twipsToPixels(widthTwips, screenTwipsPerPixelX()),
                    units::twipsToPixels(heightTwips, screenTwipsPerPixelY())));
    canvas.setCanvasGeometry(r);
}
