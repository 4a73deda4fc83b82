// Mutates small pictures of every format that opening accepts and feeds them to the decoding
// routines, for a fixed time. A crash, a hang or a picture beyond the limits is a failure.
//
//   fuzz_open [seconds] [seed]

#include "imaging/imagecheck.h"
#include "imaging/openfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <random>

namespace {

QList<QByteArray> seeds()
{
    QImage img(23, 17, QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgba(x * 11, y * 15, (x ^ y) * 9, 128 + x));
    QList<QByteArray> all;
    for (const char* f : {"bmp", "png", "jpeg", "gif", "ico", "pbm", "pgm", "ppm"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        // A format this Qt cannot write is left out.
        if ((qstrcmp(f, "gif") == 0 ? img.convertToFormat(QImage::Format_Indexed8) : img).save(&buffer, f))
            all << bytes;
    }
    return all;
}

class Mutator
{
public:
    explicit Mutator(quint32 seed) : rng_(seed) {}

    QByteArray mutate(QByteArray d, const QList<QByteArray>& pool)
    {
        const int steps = 1 + pick(4);
        for (int i = 0; i < steps; ++i) {
            const int at = d.isEmpty() ? 0 : pick(int(d.size()));
            switch (pick(7)) {
            case 0: // flip a bit
                if (!d.isEmpty())
                    d[at] = char(d[at] ^ (1 << pick(8)));
                break;
            case 1: // a value that headers get wrong: 0, 0xFF, 0x7F, 0x80
                if (!d.isEmpty())
                    d[at] = char(QByteArray("\x00\xFF\x7F\x80", 4)[pick(4)]);
                break;
            case 2: // cut
                d.truncate(at);
                break;
            case 3: // drop a run
                d.remove(at, pick(16) + 1);
                break;
            case 4: // repeat a run
                d.insert(at, d.mid(at, pick(64) + 1).repeated(1 + pick(8)));
                break;
            case 5: // splice in another picture's bytes
                if (!pool.isEmpty()) {
                    const QByteArray& o = pool[pick(int(pool.size()))];
                    d.insert(at, o.mid(pick(int(o.size())), pick(64) + 1));
                }
                break;
            default: // a big 16- or 32-bit number in the headers
                if (d.size() > 4) {
                    const int h = pick(int(qMin<qsizetype>(d.size() - 4, 64)));
                    d[h] = char(0xFF);
                    d[h + 1] = char(pick(256));
                }
                break;
            }
        }
        return d;
    }

private:
    int pick(int n) { return n <= 0 ? 0 : int(rng_() % quint32(n)); }
    std::mt19937 rng_;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The decoders complain about every broken input; that is the point here.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const quint32 seed = argc > 2 ? quint32(std::strtoul(argv[2], nullptr, 10))
                                  : quint32(std::random_device{}());
    std::printf("fuzz_open: %d s, seed %u\n", seconds, seed);
    std::fflush(stdout);

    OpenLimits limits;
    limits.maxSide = 4096;
    limits.maxPixels = 4096 * 1024;
    limits.allocationLimitMB = 64;

    const QList<QByteArray> pool = seeds();
    Mutator mutator(seed);
    QElapsedTimer clock;
    clock.start();
    qint64 runs = 0, opened = 0, slowest = 0;
    while (clock.elapsed() < qint64(seconds) * 1000) {
        const QByteArray data = mutator.mutate(pool[int(runs % pool.size())], pool);
        QElapsedTimer one;
        one.start();
        const QByteArray format = rasterFormatOf(data);
        imageDataEndsEarly(format, data);
        withoutJpegComments(data);
        bmpHeaderSize(data);
        const LoadedImage r = decodeImageData(data, limits);
        slowest = qMax(slowest, one.elapsed());
        ++runs;
        if (r.image.isNull() == r.reason.isEmpty()) {
            std::printf("fuzz_open: run %lld: neither a picture nor a reason\n", (long long)runs);
            return 1;
        }
        if (!r.image.isNull()) {
            ++opened;
            if (!tooLargeReason(r.image.size(), limits).isEmpty()) {
                std::printf("fuzz_open: run %lld: %d x %d passed the limits\n", (long long)runs,
                            r.image.width(), r.image.height());
                return 1;
            }
        }
    }
    std::printf("fuzz_open: %lld inputs, %lld opened, slowest %lld ms\n", (long long)runs,
                (long long)opened, (long long)slowest);
    return 0;
}
