// Save benchmark: how long it takes to photograph a 3840 x 2160 canvas and write it as a BMP file,
// against writing the same bytes with fwrite.
//
//   save_bench [RUNS]
//
// Without QT_QPA_PLATFORM it runs headless on a pretend 3840 x 2160 screen (the fake platform,
// whose capture paints our windows over a pattern). Under an X server of that size with
// QT_QPA_PLATFORM=xcb it reads the real screen. Prints the median of RUNS runs (default 7) of:
//   snapshot   SnapshotCanvas into picbox (includes its settle: the toolbox leaving the screen)
//   save       writeBmpFile: convert and write to a temporary file, sync it to disk, rename
//   fwrite     fwrite of the same bytes, held in memory, to a new file, and fclose
//   fwrite+sync  the same followed by fsync, as the save syncs its file

#include "imaging/fileio.h"
#include "fake/fakeplatform.h"
#include "platform/platform.h"
#include "settings/settingsstore.h"
#include "shell/captureflow.h"
#include "shell/commands.h"
#include "canvas/frmmain.h"
#include "shell/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double msSince(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

bool fwriteFile(const QString& path, const QByteArray& bytes, bool sync)
{
    FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f) ==
              static_cast<size_t>(bytes.size());
    ok = std::fflush(f) == 0 && ok;
    if (sync)
        ok = fsync(fileno(f)) == 0 && ok;
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const QString config = dir.filePath(QStringLiteral("screen.json"));
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 3840, "height": 2160,
                    "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        f.close();
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    }

    QApplication app(argc, argv);
    // The pretend platform: its screen is the offscreen one, whose reads cost what copying costs.
    std::unique_ptr<Platform> platform = std::make_unique<FakePlatform>();
    const QString platformName = platform->name;
    Program program(std::move(platform), SettingsStore::atFile(dir.filePath(QStringLiteral("s.conf"))));
    program.endProgram = [] {};
    program.start();
    CaptureAndShow(program, QStringLiteral("screen"));
    QElapsedTimer shown;
    shown.start();
    while (program.capture.busy() || shown.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    FrmMain* canvas = program.frmMain();
    std::printf("platform %s, screen %dx%d, canvas %dx%d, %d runs\n", qPrintable(platformName),
                QGuiApplication::primaryScreen()->geometry().width(),
                QGuiApplication::primaryScreen()->geometry().height(), canvas->width(),
                canvas->height(), runs);

    std::vector<double> snapshot, save, plain, synced;
    qint64 bytesWritten = 0;
    QByteArray bytes;
    // The first round only warms caches and allocators up and is not counted.
    for (int i = -1; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        SnapshotCanvas(program, 0);
        const double snapshotMs = msSince(t);
        const QImage image = program.picbox.image();

        const QString savedPath = dir.filePath(QStringLiteral("saved-%1.bmp").arg(i));
        QString reason;
        t.restart();
        if (!writeBmpFile(image, savedPath, &reason)) {
            std::fprintf(stderr, "save_bench: %s\n", qPrintable(reason));
            return 1;
        }
        const double saveMs = msSince(t);
        bytesWritten = QFileInfo(savedPath).size();
        if (bytes.isEmpty()) {
            // The bytes fwrite writes: the saved file, read once and kept in memory.
            QFile saved(savedPath);
            if (!saved.open(QIODevice::ReadOnly))
                return 1;
            bytes = saved.readAll();
        }

        t.restart();
        if (!fwriteFile(dir.filePath(QStringLiteral("plain-%1.bmp").arg(i)), bytes, false))
            return 1;
        const double plainMs = msSince(t);
        t.restart();
        if (!fwriteFile(dir.filePath(QStringLiteral("synced-%1.bmp").arg(i)), bytes, true))
            return 1;
        const double syncedMs = msSince(t);
        if (i >= 0) {
            snapshot.push_back(snapshotMs);
            save.push_back(saveMs);
            plain.push_back(plainMs);
            synced.push_back(syncedMs);
        }
        QFile::remove(savedPath);
        QFile::remove(dir.filePath(QStringLiteral("plain-%1.bmp").arg(i)));
        QFile::remove(dir.filePath(QStringLiteral("synced-%1.bmp").arg(i)));
    }

    const double snap = median(snapshot), sv = median(save);
    const double fw = median(plain), fws = median(synced);
    std::printf("BMP file %lld bytes (%dx%d)\n", bytesWritten, program.picbox.image().width(),
                program.picbox.image().height());
    std::printf("snapshot            %8.1f ms\n", snap);
    std::printf("save (writeBmpFile) %8.1f ms\n", sv);
    std::printf("snapshot + save     %8.1f ms\n", snap + sv);
    std::printf("fwrite              %8.1f ms\n", fw);
    std::printf("fwrite + fsync      %8.1f ms\n", fws);
    std::printf("ratio (snapshot + save) / fwrite          %6.1f\n", (snap + sv) / fw);
    std::printf("ratio (snapshot + save) / (fwrite + fsync) %6.1f\n", (snap + sv) / fws);
    std::printf("ratio save / fwrite                        %6.1f\n", sv / fw);
    std::printf("ratio save / (fwrite + fsync)              %6.1f\n", sv / fws);
    ExitProgram(program);
    return 0;
}
