// Build-time helper: renders the program's SVG drawings as PNG pictures, for the help (which
// shows the very icons the toolbox shows), for the icon theme of the desktop, and for a build
// without Qt SVG, which ships its drawings as pictures.
//
//   scrawlix_renderart SIZE OUTPUT-FOLDER INPUT.svg[=NAME] ...
//
// Each input becomes OUTPUT-FOLDER/NAME.png (NAME defaults to the input's base name, and may hold
// sub-folders, which are made), SIZE x SIZE pixels, or WIDTH x HEIGHT for a SIZE written WxH.
// Exit status 1 when an input cannot be read or an output cannot be written.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QStringList sides = args.value(0).split(QLatin1Char('x'));
    bool okWidth = false;
    bool okHeight = false;
    const int width = sides.value(0).toInt(&okWidth);
    const int height = sides.size() == 2 ? sides.at(1).toInt(&okHeight) : width;
    if (sides.size() == 1)
        okHeight = okWidth;
    if (args.size() < 3 || !okWidth || !okHeight || width <= 0 || height <= 0 || sides.size() > 2) {
        std::fprintf(stderr, "usage: scrawlix_renderart SIZE[xHEIGHT] OUTPUT-FOLDER INPUT.svg[=NAME]...\n");
        return 2;
    }
    const QDir out(args.at(1));
    int status = 0;
    for (const QString& arg : args.mid(2)) {
        const int eq = arg.lastIndexOf(QLatin1Char('='));
        const QString input = eq < 0 ? arg : arg.left(eq);
        const QString name = eq < 0 ? QFileInfo(input).completeBaseName() : arg.mid(eq + 1);
        QSvgRenderer svg(input);
        if (!svg.isValid()) {
            std::fprintf(stderr, "scrawlix_renderart: cannot read %s\n", qPrintable(input));
            status = 1;
            continue;
        }
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(0, 0, width, height));
        p.end();
        const QString output = out.filePath(name + QStringLiteral(".png"));
        if (!QDir().mkpath(QFileInfo(output).path()) || !image.save(output, "PNG")) {
            std::fprintf(stderr, "scrawlix_renderart: cannot write %s\n", qPrintable(output));
            status = 1;
        }
    }
    return status;
}
