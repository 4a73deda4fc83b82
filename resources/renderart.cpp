// Build-time helper: renders the program's SVG drawings as PNG pictures, for the help (which
// shows the very icons the toolbox shows) and for the icon theme of the desktop.
//
//   scrawlix_renderart SIZE OUTPUT-FOLDER INPUT.svg[=NAME] ...
//
// Each input becomes OUTPUT-FOLDER/NAME.png (NAME defaults to the input's base name), SIZE x SIZE
// pixels. Exit status 1 when an input cannot be read or an output cannot be written.

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
    bool ok = false;
    const int size = args.value(0).toInt(&ok);
    if (args.size() < 3 || !ok || size <= 0) {
        std::fprintf(stderr, "usage: scrawlix_renderart SIZE OUTPUT-FOLDER INPUT.svg[=NAME]...\n");
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
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(0, 0, size, size));
        p.end();
        const QString output = out.filePath(name + QStringLiteral(".png"));
        if (!image.save(output, "PNG")) {
            std::fprintf(stderr, "scrawlix_renderart: cannot write %s\n", qPrintable(output));
            status = 1;
        }
    }
    return status;
}
