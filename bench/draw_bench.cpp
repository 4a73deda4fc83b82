// Cost of one pen move and one highlighter move, paint included, on a small and a large canvas.
// Runs offscreen on the fake platform: draw_bench [MOVES].

#include "canvas/drawingstate.h"
#include "canvas/frmmain.h"
#include "canvas/mousedrawing.h"
#include "fake/fakeplatform.h"
#include "settings/settingsstore.h"
#include "shell/program.h"
#include "shell/toolselection.h"
#include "toolbox/frmtoolbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double perMoveMicros(Program& p, int tool, int moves)
{
    FrmMain* canvas = p.frmMain();
    SelectTool(p, static_cast<std::int16_t>(tool));
    const int w = canvas->width(), h = canvas->height();
    p.drawing.CursorPos = QPoint(w / 4, h / 2);
    Form_MouseDown(*canvas, 1, 0, w / 4.0f, h / 2.0f);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < moves; ++i) {
        // A wandering stroke of short segments, as a hand makes.
        const float x = w / 4.0f + (i % 400) * 1.5f;
        const float y = h / 2.0f + ((i / 400) % 2 ? -1 : 1) * (i % 37);
        Form_MouseMove(*canvas, 1, 0, x, y);
        QCoreApplication::processEvents(); // the repaint of what changed
    }
    const double us = t.nsecsElapsed() / 1000.0 / moves;
    Form_MouseUp(*canvas, 1, 0, 0, 0);
    return us;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int moves = argc > 1 ? std::atoi(argv[1]) : 2000;
    QTemporaryDir dir;
    std::printf("%-11s %14s %14s\n", "canvas", "pen us/move", "highlight us/move");
    std::vector<double> pen, hl;
    for (QSize size : {QSize(1280, 720), QSize(3840, 2160)}) {
        Program p(std::make_unique<FakePlatform>(),
                  SettingsStore::atFile(dir.filePath(QStringLiteral("s.conf"))));
        p.endProgram = [] {};
        p.start();
        FrmMain* canvas = p.frmMain();
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::white);
        canvas->setCanvasGeometry(QRect(QPoint(0, 0), size));
        canvas->setPicture(Picture(img, {}, 96, 96));
        canvas->showCanvas();
        canvas->document().setHighlightArea(size);
        p.frmToolbox()->chooseSize(9);
        QCoreApplication::processEvents();
        // Best of three rounds, each with many moves.
        double bestPen = 1e9, bestHl = 1e9;
        for (int round = 0; round < 3; ++round) {
            bestPen = std::min(bestPen, perMoveMicros(p, ToolPen, moves));
            bestHl = std::min(bestHl, perMoveMicros(p, ToolHighlighter, moves));
        }
        pen.push_back(bestPen);
        hl.push_back(bestHl);
        std::printf("%4dx%-6d %14.1f %14.1f\n", size.width(), size.height(), bestPen, bestHl);
    }
    std::printf("ratio 3840x2160 / 1280x720: pen %.2f, highlighter %.2f\n", pen[1] / pen[0], hl[1] / hl[0]);
    return 0;
}
