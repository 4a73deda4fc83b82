// A window of known content for the Wayland scenarios: eight vertical stripes of fixed colours with
// a one-pixel checkerboard in the top-left 64 x 64 pixels, so that any scaling or shift shows.
// Prints "shown WIDTHxHEIGHT" each time it has painted a frame of a new size. --maximized: without
// a frame, maximized; --fullscreen: full screen, over any panel.
#include <QGuiApplication>
#include <QScreen>
#include <QPainter>
#include <QRasterWindow>
#include <cstdio>

namespace {

const QRgb stripes[] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00, 0xff00ff, 0x00ffff, 0x804020, 0x208040};

class Pattern : public QRasterWindow
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int n = sizeof(stripes) / sizeof(stripes[0]);
        for (int i = 0; i < n; ++i)
            p.fillRect(i * width() / n, 0, (i + 1) * width() / n - i * width() / n, height(), QColor(stripes[i]));
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if ((x + y) % 2)
                    p.fillRect(x, y, 1, 1, Qt::white);
                else
                    p.fillRect(x, y, 1, 1, Qt::black);
        if (told_ != size()) {
            told_ = size();
            std::printf("shown %dx%d\n", width(), height());
            std::fflush(stdout);
        }
    }

private:
    QSize told_;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    Pattern w;
    w.setTitle(QStringLiteral("pattern"));
    w.resize(640, 480);
    // A compositor that does not tile (KWin) fills the output with it when it is maximized.
    if (app.arguments().contains(QStringLiteral("--maximized"))) {
        w.setFlag(Qt::FramelessWindowHint);
        w.resize(w.screen()->size());
        w.showMaximized();
    } else if (app.arguments().contains(QStringLiteral("--fullscreen"))) {
        // GNOME Shell keeps its top bar over a maximized window.
        w.showFullScreen();
    } else {
        w.show();
    }
    return app.exec();
}
