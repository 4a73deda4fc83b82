// Saving image files through the common dialog, failures included; the name the dialogs offer;
// the canvas's keyboard shortcuts, which typing and the wrong modifiers leave alone. Opening files
// that are not what they seem: missing files, devices, pipes, endless files, text, compressed
// vector pictures, cut-off pictures, pictures whose headers or names lie, and pictures that take
// long to decode. Whatever the file, the program keeps turning and the canvas keeps its picture
// and drawing unless a picture opens.

#include "canvas/textentry.h"
#include "canvas/texttool.h"
#include "shell/toolselection.h"
#include "imaging/fileio.h"
#include "imaging/openfile.h"
#include "shell/commands.h"
#include "testprogram.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImageWriter>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>
#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

using Shown = ShownProgram;
constexpr QRgb Marker = ShownProgram::Marker;

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The message boxes shown: none when text is empty, else one that says it and, given a file, names
// the file and shows the exclamation icon.
void expectMessage(Shown& t, const QString& text, const QString& file = {})
{
    QCOMPARE(t.messages().size(), text.isEmpty() ? 0 : 1);
    if (text.isEmpty())
        return;
    const auto& m = t.messages()[0];
    QVERIFY2(m.text.contains(text, Qt::CaseInsensitive) &&
                 (file.isEmpty() ||
                  m.text.contains(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()))),
             qPrintable(m.text));
    QCOMPARE(m.style, file.isEmpty() ? 0 : 48);
}

QByteArray le16(int v) { return QByteArray(1, char(v & 255)) + char((v >> 8) & 255); }
QByteArray le32(quint32 v) { return le16(int(v & 0xffff)) + le16(int(v >> 16)); }

QByteArray encoded(const QImage& img, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter w(&buffer, format);
    w.setProgressiveScanWrite(progressive);
    w.write(img);
    return bytes;
}

QImage filled(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(90, 140, 200));
    return img;
}

quint32 crc32(const QByteArray& data)
{
    quint32 c = 0xFFFFFFFF;
    for (char ch : data) {
        c ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
    }
    return ~c;
}

// A gzip file of the data (what a .svgz is).
QByteArray gzip(const QByteArray& data)
{
    const QByteArray z = qCompress(data, 9); // 4 bytes of size, a zlib header, deflate, adler32
    return QByteArray::fromHex("1f8b0800000000000203") + z.mid(6, z.size() - 10) +
           le32(crc32(data)) + le32(quint32(data.size()));
}

// A progressive JPEG whose last scan is repeated: every repetition makes the decoder go over the
// whole picture once more.
QByteArray slowJpeg(int side, int extraScans)
{
    const QByteArray bytes = encoded(filled(side, side), "jpeg", true);
    const int lastScan = int(bytes.lastIndexOf("\xFF\xDA"));
    const int end = int(bytes.lastIndexOf("\xFF\xD9"));
    QByteArray out = bytes.left(end);
    for (int i = 0; i < extraScans; ++i)
        out += bytes.mid(lastScan, end - lastScan);
    return out + "\xFF\xD9";
}

// A GIF of one pixel row whose frame lies far to the right of an empty logical screen.
QByteArray farGif()
{
    return QByteArray("GIF89a") + le16(0) + le16(0) + QByteArray::fromHex("f10200") +
           QByteArray::fromHex("c81e1e0000ffffffffff0000") + "\x2c" + le16(65280) + le16(0) +
           le16(37) + le16(255) + QByteArray::fromHex("0002040c84895700") + ";";
}

// An icon whose directory says 256 x 256 and whose picture is a PNG of 20000 x 2.
QByteArray lyingIcon()
{
    const QByteArray png = encoded(filled(20000, 2), "png");
    return le16(0) + le16(1) + le16(1) + QByteArray(4, '\0') + le16(1) + le16(32) +
           le32(quint32(png.size())) + le32(22) + png;
}

// The headers of a 24-bit BMP of 100000 x 100000 pixels, without its rows.
QByteArray hugeBmpHeader()
{
    return "BM" + le32(54) + le32(0) + le32(54) + le32(40) + le32(100000) + le32(100000) + le16(1) +
           le16(24) + QByteArray(24, '\0');
}

} // namespace

class TestFileIo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg=false"));
#if defined(Q_OS_UNIX)
        std::signal(SIGXFSZ, SIG_IGN); // a write beyond the file-size limit fails instead
#endif
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("full")));
    }

    void filterAndKeptFileName()
    {
        // Qt's own file dialog reads both JPEG patterns from the converted filter.
        const QString qt = qtFilterFromCommonFilter(imageFileFilter());
        QFileDialog fd;
        fd.setOption(QFileDialog::DontUseNativeDialog);
        fd.setNameFilter(qt);
        fd.selectNameFilter(fd.nameFilters().value(1));
        QCOMPARE(fd.findChild<QFileSystemModel*>()->nameFilters(),
                 QStringList({"*.jpg", "*.jpeg"}));

        // Save, then a cancelled save and a cancelled open: the kept name is offered once, and the
        // cancelled dialogs clear it and do nothing.
        Shown t;
        const QString a = path(QStringLiteral("kept.bmp"));
        t.answer(a);
        SaveImage(*t);
        SaveImage(*t);
        OpenImage(*t);
        QStringList offered;
        for (const auto& d : t.asked())
            offered << d.kind + QLatin1Char(' ') + d.initialName + QLatin1Char(' ') +
                           d.defaultSuffix + QLatin1Char(' ') + d.filter;
        QCOMPARE(offered, QStringList({"save  .bmp " + qt, "save " + a + " .bmp " + qt,
                                       "open  .bmp " + qt}));
        QVERIFY(t->cmdlg.FileName.isEmpty());
        QVERIFY(t.messages().isEmpty());
        QCOMPARE(t.canvas()->canvasState(), int(FrmMain::Maximized));
    }

    void save_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // what the one message box says, if there is one
        QTest::newRow("shot.png") << "shot.png" << "PNG ERROR!";
        QTest::newRow("shot.PNG") << "shot.PNG" << "";
        QTest::newRow("shotpng, no dot") << "shotpng" << "PNG ERROR!";
        // Failures, over an old file where there can be one.
        QTest::newRow("a folder") << "full" << "folder";
        QTest::newRow("missing folder") << "missing/shot.bmp" << "does not exist";
#if defined(Q_OS_UNIX)
        QTest::newRow("full disk") << "full/shot.bmp" << "too large";
#endif
    }

    void save()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        const QString file = path(name);
        const bool fails = !message.isEmpty() && message != QLatin1String("PNG ERROR!");
        if (fails)
            writeFile(file, "old picture"); // where there can be a file
        Shown t;
        t.answer(file);
        t->frmToolbox()->hide(); // it comes back after a save, even if it was hidden
#if defined(Q_OS_UNIX)
        // A file-size limit stands in for a full disk.
        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit unlimited = limit;
        if (name.startsWith(QLatin1String("full/")))
            limit.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        SaveImage(*t);
        setrlimit(RLIMIT_FSIZE, &unlimited);
#else
        SaveImage(*t);
#endif
        QVERIFY(t->frmToolbox()->isVisible());
        expectMessage(t, message, fails ? file : QString());
        if (fails) { // the old file stays as it was, and no temporary file is left beside it
            if (QFileInfo(file).isFile())
                QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::Hidden)
                             << readFile(file),
                         QStringList({"shot.bmp", "old picture"}));
            return;
        }
        // Whatever the name, the file holds BMP data: the snapshot, which is the canvas without its
        // one-pixel frame, drawing included.
        const QByteArray bytes = readFile(file);
        QVERIFY(bytes.startsWith("BM"));
        const QImage saved = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved,
                 t.canvas()->image().copy(QRect(QPoint(1, 1), t.canvas()->size() - QSize(2, 2))));
    }

    void shortcuts_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("typing"); // the key goes to the text box, not the canvas
        QTest::addColumn<QString>("command");
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << true << false << false << "copy";
        QTest::newRow("C") << int(Qt::Key_C) << false << false << false << "";
        QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << true << true << false << "save";
        QTest::newRow("Ctrl+Delete") << int(Qt::Key_Delete) << true << false << false << "";
        QTest::newRow("Delete") << int(Qt::Key_Delete) << false << false << false << "";
        QTest::newRow("Ctrl+C while typing") << int(Qt::Key_C) << true << false << true << "";
        QTest::newRow("Ctrl+S while typing") << int(Qt::Key_S) << true << false << true << "";
    }

    void shortcuts()
    {
        QFETCH(int, key);
        QFETCH(bool, ctrl);
        QFETCH(bool, shift);
        QFETCH(bool, typing);
        QFETCH(QString, command);
        Shown t;
        t.canvas()->activateWindow();
        QWidget* target = t.canvas();
        if (typing) {
            SelectTool(*t, ToolText);
            placeText(*t.canvas(), 60, 60);
            target = t.canvas()->entryBox();
        }
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        QApplication::clipboard()->clear();
        t.fake->fakeKeys->setDown(17, ctrl);
        t.fake->fakeKeys->setDown(16, shift);
        QTest::keyClick(target, Qt::Key(key),
                        (ctrl ? Qt::ControlModifier : Qt::NoModifier) |
                            (shift ? Qt::ShiftModifier : Qt::NoModifier));

        QStringList ran;
        if (!QApplication::clipboard()->image().isNull())
            ran << QStringLiteral("copy");
        for (const auto& a : t.asked())
            ran << a.kind;
        for (const auto& m : t.messages())
            ran << m.text;
        if (t.canvas()->image().pixel(10, 10) != Marker)
            ran << QStringLiteral("erase");
        QCOMPARE(ran, command.isEmpty() ? QStringList() : QStringList(command));
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("refused"); // what the message says

#if defined(Q_OS_UNIX)
        // Made here: a pipe nobody writes to, a link to an endless device, a socket.
        const QString fifo = path(QStringLiteral("pipe.bmp"));
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QString zero = path(QStringLiteral("photo.bmp"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
        const QString socketFile = path(QStringLiteral("socket.png"));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(socketFile).constData(),
                 sizeof address.sun_path);
        const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(sock >= 0 &&
                ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
#endif

        auto write = [this](const QString& name, const QByteArray& bytes) {
            if (!writeFile(path(name), bytes))
                qFatal("cannot write %s", qPrintable(name));
            return path(name);
        };
        const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='64' height='64'>"
                               "<circle cx='32' cy='32' r='20' fill='red'/></svg>";
        const QByteArray png = encoded(filled(64, 48), "png");

#if defined(Q_OS_UNIX)
        QTest::newRow("FIFO") << fifo << "named pipe";
        QTest::newRow("character device") << "/dev/null" << "device";
        QTest::newRow("/dev/zero through a symlink") << zero << "device";
        QTest::newRow("socket") << socketFile << "socket";
#endif
        QTest::newRow("folder") << dir_.path() << "folder";
        QTest::newRow("compressed SVG named .jpg") << write("drawing.jpg", gzip(svg)) << "not a picture";
        QTest::newRow("plain SVG") << write("drawing.svg", svg) << "not a picture";
        QTest::newRow("GIF frame far off its screen") << write("far.gif", farGif()) << "too large";
        QTest::newRow("icon holding a larger PNG") << write("lie.ico", lyingIcon()) << "too large";
        QTest::newRow("truncated PNG") << write("cut.png", png.left(png.size() - 20)) << "incomplete";
        QTest::newRow("BMP of 100000 x 100000") << write("huge.bmp", hugeBmpHeader()) << "too large";
        const QByteArray bmp = encoded(filled(120, 80), "bmp");
        const QByteArray jpeg = encoded(filled(333, 222), "jpeg");
        QByteArray jpegBomb = jpeg; // its frame header claims 9000 x 9000
        jpegBomb.replace(int(jpeg.indexOf("\xFF\xC0")) + 5, 4, QByteArray("\x23\x28\x23\x28", 4));
        // A 4 x 3 GIF. Its logical screen size is at byte 6, its image's size at 38, its pixel data
        // is one sub-block of 4 bytes at 44.
        const QByteArray gif = QByteArray::fromHex(
            "47494638396104000300f10200c81e1e0000ffffffff00000021f90400000000002c0000000004000300"
            "0002040c848957003b");
        const QByteArray side20000("\x20\x4e\x20\x4e");
        QTest::newRow("missing") << path(QStringLiteral("missing.bmp")) << "does not exist";
        QTest::newRow("text named .bmp") << write("text.bmp", "hello, world\n") << "not a picture";
        QTest::newRow("truncated BMP") << write("cut.bmp", bmp.left(bmp.size() - 100)) << "incomplete";
        QTest::newRow("JPEG cut at its last byte") << write("cut.jpg", jpeg.left(jpeg.size() - 1)) << "incomplete";
        QTest::newRow("truncated GIF") << write("cut.gif", gif.left(46)) << "incomplete";
        QTest::newRow("GIF of 20000 x 20000")
            << write("bomb.gif", QByteArray(gif).replace(6, 4, side20000).replace(38, 4, side20000)) << "too large";
        QTest::newRow("JPEG of 9000 x 9000") << write("bomb.jpg", jpegBomb) << "too large";
        // Empty: the picture opens, at the top-left corner at its size, whatever its name says.
        QTest::newRow("BMP data named .jpg") << write("saved.jpg", bmp) << "";
    }

    void hostileFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, refused);
        Shown t;
        FrmMain* c = t.canvas();
        const QImage drawn = c->image();
        const QImage under = c->picture().image();
        const QRect place = c->canvasGeometry();
        t.answer(file);
        OpenImage(*t);
        // One box that says why and names the file, or none when the picture opens.
        expectMessage(t, refused, file);
        if (refused.isEmpty()) {
            const QImage picture =
                QImage::fromData(readFile(file)).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(c->canvasGeometry(), QRect(QPoint(0, 0), picture.size()));
            QCOMPARE(c->image(), picture);
            return;
        }
        // The canvas keeps its place, its drawing, and the picture that erasing goes back to.
        QCOMPARE(c->image(), drawn);
        QCOMPARE(c->canvasGeometry(), place);
        QVERIFY(c->isVisible());
        EraseCanvas(*t);
        QCOMPARE(c->image(), under);
    }

    void readingIsBounded()
    {
        // The bytes that arrive count, not the size that the file system reports: /proc files
        // report 0 and still have content.
        QByteArray data;
        LoadedImage r = readFileBounded(QStringLiteral("/proc/self/maps"), 16, &data);
        QVERIFY2(r.reason.contains(QLatin1String("too large")), qPrintable(r.reason));
        QVERIFY(data.size() <= 17);

        // A file that says it is too large is refused before anything is read or kept.
        const QString sparse = path(QStringLiteral("sparse.bmp"));
        {
            QFile f(sparse);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(qint64(2) << 30));
        }
        r = readFileBounded(sparse, qint64(512) << 20, &data);
        QVERIFY2(r.reason.contains(QLatin1String("too large")), qPrintable(r.reason));
        QVERIFY2(data.capacity() < (1 << 20), qPrintable(QString::number(data.capacity())));

        // A file within the limit is read whole; a cancelled read gives up without a reason.
        const QByteArray png = encoded(filled(300, 200), "png");
        const QString ok = path(QStringLiteral("ok.png"));
        QVERIFY(writeFile(ok, png));
        r = readFileBounded(ok, png.size(), &data);
        QVERIFY(r.reason.isEmpty());
        QCOMPARE(data, png);
        const std::atomic_bool cancel{true};
        r = readImageFile(ok, OpenLimits{}, &cancel);
        QVERIFY(r.cancelled && r.reason.isEmpty() && r.image.isNull());

        // The decoder is chosen by content.
        QCOMPARE(rasterFormatOf(png), QByteArray("png"));
        QCOMPARE(rasterFormatOf(encoded(filled(8, 8), "ppm")), QByteArray("ppm"));
        QCOMPARE(rasterFormatOf(encoded(filled(8, 8), "ico")), QByteArray("ico"));

        // Comments are dropped before a JPEG is decoded; the picture stays the same.
        const QByteArray jpeg = encoded(filled(64, 64), "jpeg");
        QByteArray commented = jpeg;
        for (int i = 0; i < 50; ++i)
            commented.insert(2, QByteArray("\xFF\xFE\x00\x07hello", 9));
        const LoadedImage plain = decodeImageData(jpeg);
        const LoadedImage withComments = decodeImageData(commented);
        QVERIFY(plain.reason.isEmpty() && withComments.reason.isEmpty());
        QCOMPARE(withComments.image, plain.image);
        QVERIFY(withComments.image.textKeys().isEmpty());
    }

    void decodingOnAWorker()
    {
        const QString slow = path(QStringLiteral("slow.jpg"));
        QVERIFY(writeFile(slow, slowJpeg(2048, 400)));

        // The slow file: the progress window comes up, timers keep firing, and Cancel drops the
        // decode and keeps the drawing.
        Shown t;
        FrmMain* c = t.canvas();
        const QImage drawn = c->image();
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);
        QPointer<QProgressDialog> seen;
        QElapsedTimer clock;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<QProgressDialog*>(w); p && p->isVisible() && !seen) {
                    seen = p;
                    QVERIFY(p->isModal());
                    QVERIFY(clock.elapsed() >= 400);
                    p->findChild<QPushButton*>()->click(); // Cancel
                }
        });
        watch.start(10);
        t.answer(slow);
        clock.start();
        OpenImage(*t);
        const qint64 took = clock.elapsed();
        QVERIFY(seen);
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QVERIFY2(took < 3000, qPrintable(QString::number(took)));
        QVERIFY(t.messages().isEmpty());
        QCOMPARE(c->image(), drawn);

        // Past the time limit the decode is given up with a message; the drawing stays.
        t->openOptions.timeLimitMs = 300;
        watch.stop();
        t.answer(slow);
        clock.restart();
        OpenImage(*t);
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(t.messages().size(), 1);
        QVERIFY2(t.messages()[0].text.contains(QLatin1String("took longer than")),
                 qPrintable(t.messages()[0].text));
        QCOMPARE(c->image(), drawn);

        // Given time, the same file opens.
        t->openOptions.timeLimitMs = 60000;
        t.answer(slow);
        OpenImage(*t);
        QCOMPARE(t.messages().size(), 1);
        QCOMPARE(c->image().size(), QSize(2048, 2048));
    }

    void oneOpenAndOneDialogAtATime()
    {
        // Opens that come while one decodes wait their turn, so only one picture is ever being
        // read; the last one asked for ends on the canvas.
        const QString slow = path(QStringLiteral("slow2.jpg"));
        QVERIFY(writeFile(slow, slowJpeg(2048, 400)));
        const QString small = path(QStringLiteral("small.png"));
        QVERIFY(writeFile(small, encoded(filled(64, 48), "png")));
        Shown t;
        t->openOptions.progressDelayMs = 60000;
        t->openOptions.timeLimitMs = 600000; // a slow machine is no failure here
        bool sentDuringDecode = false;
        bool secondStartedEarly = false;
        QTimer::singleShot(50, [&] {
            sentDuringDecode = t->capture.held();
            OpenImageFile(*t, small);
            secondStartedEarly = t.canvas()->picture().image().size() == QSize(64, 48);
        });
        OpenImageFile(*t, slow);
        QVERIFY(sentDuringDecode);
        QVERIFY(!secondStartedEarly);
        QTRY_COMPARE(t.canvas()->picture().image().size(), QSize(64, 48));
        QVERIFY(t.messages().isEmpty());

        // A request to open while the open dialog is shown shows no second dialog.
        int asked = 0;
        t.fake->fakeDialogs->whileShown = [&] {
            if (++asked == 1)
                OpenImage(*t);
        };
        OpenImage(*t);
        QCOMPARE(asked, 1);
        QCOMPARE(t.asked().size(), 1);
    }

private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }
};

QTEST_MAIN(TestFileIo)
#include "tst_fileio.moc"
