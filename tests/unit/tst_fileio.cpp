// Saving and opening image files through the common dialog, failures included, and the canvas's
// keyboard shortcuts.

#include "canvas/labels.h"
#include "canvas/textentry.h"
#include "canvas/texttool.h"
#include "canvas/tools.h"
#include "imaging/fileio.h"
#include "shell/captureflow.h"
#include "shell/cmdlg.h"
#include "shell/commands.h"
#include "shell/frmmain.h"
#include "shell/shortcuts.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImageReader>
#include <QImageWriter>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QRgb Marker = qRgb(1, 2, 3);

// A started program showing a screen capture with one drawn pixel at (10, 10).
struct Shown : TestProgram {
    Shown()
    {
        program->captureWait = [] { QCoreApplication::processEvents(); };
        program->start();
        CaptureAndShow(*program, QStringLiteral("screen"));
        canvas()->image().setPixel(10, 10, Marker);
    }
    FrmMain* canvas() { return program->frmMain(); }
    FrmToolbox* toolbox() { return program->frmToolbox(); }
    ScriptedDialogs& dialogs() { return *fake->fakeDialogs; }
    QList<RecordingMessageBoxes::Shown>& messages() { return fake->fakeMessages->shown; }
    void answer(const QString& file) { dialogs().fileAnswers.push_back(file); }
};

QImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x / 8 + y / 8) % 2)
                img.setPixel(x, y, qRgb(200, 30, 30));
    img.setPixel(0, 0, qRgb(0, 0, 255));
    return img;
}

QByteArray encoded(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(100);
    writer.write(img);
    return bytes;
}

// A 4 x 3 GIF: blue at (0, 0), red at (1, 0) and (2, 2), white elsewhere. Its image descriptor
// starts at byte 33; its pixel data is one sub-block of 4 bytes at 44.
const QByteArray TinyGif = QByteArray::fromHex(
    "47494638396104000300f10200c81e1e0000ffffffff00000021f90400000000002c0000000004000300"
    "0002040c848957003b");

// The same GIF claiming 20000 x 20000 pixels.
QByteArray hugeGif()
{
    QByteArray gif = TinyGif;
    const QByteArray size("\x20\x4e\x20\x4e");
    return gif.replace(6, 4, size).replace(38, 4, size);
}

// A JPEG whose frame header claims another size.
QByteArray jpegClaiming(int w, int h)
{
    QByteArray jpeg = encoded(pattern(16, 16), "jpeg");
    const int sof = int(jpeg.indexOf("\xFF\xC0"));
    jpeg[sof + 5] = char(h >> 8);
    jpeg[sof + 6] = char(h & 0xff);
    jpeg[sof + 7] = char(w >> 8);
    jpeg[sof + 8] = char(w & 0xff);
    return jpeg;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

class TestFileIo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void filterAndKeptFileName();
    void pngWarning_data();
    void pngWarning();
    void bmpRoundTrip();
    void failedSaves();
    void openShowsPictureAtTopLeft_data();
    void openShowsPictureAtTopLeft();
    void openFromTrayKeepsLabelsAndErasesToIt();
    void unreadableFiles_data();
    void unreadableFiles();
    void shortcutTable_data();
    void shortcutTable();
    void noShortcutsWhileTyping();

private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }
};

void TestFileIo::initTestCase()
{
    // No print server: Ctrl+P finds no printer, whatever this machine has.
    qputenv("CUPS_SERVER", path(QStringLiteral("no-cups.sock")).toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
}

void TestFileIo::filterAndKeptFileName()
{
    const QString qt = qtFilterFromCommonFilter(ImageFileFilter);
    QCOMPARE(qt, QStringLiteral("Bitmap Image (*.bmp) (*.bmp);;JPEG Image (*.jpg; *.jpeg) (*.jpg *.jpeg);;"
                                "Compuserve GIF Image (*.gif) (*.gif);;All Files (*.*) (*)"));
    // Qt's own file dialog reads both JPEG patterns from it.
    QFileDialog fd;
    fd.setOption(QFileDialog::DontUseNativeDialog);
    fd.setNameFilter(qt);
    fd.selectNameFilter(fd.nameFilters().value(1));
    QFileSystemModel* model = fd.findChild<QFileSystemModel*>();
    QVERIFY(model);
    QCOMPARE(model->nameFilters(), QStringList({"*.jpg", "*.jpeg"}));

    Shown t;
    const QString a = path(QStringLiteral("kept.bmp"));
    t.answer(a);
    SaveImage(*t);
    QCOMPARE(t.canvas()->cmdlg.FileName, a);
    SaveImage(*t); // cancelled: the previous name is offered, and nothing happens
    OpenImage(*t); // cancelled too: the cleared name is offered
    const auto& asked = t.dialogs().asked;
    QCOMPARE(asked.size(), 3);
    QCOMPARE(asked[0].kind, QStringLiteral("save"));
    QCOMPARE(asked[0].title, QStringLiteral("Save Image..."));
    QCOMPARE(asked[0].filter, qt);
    QCOMPARE(asked[0].defaultSuffix, QStringLiteral(".bmp"));
    QCOMPARE(asked[0].initialName, QString());
    QCOMPARE(asked[1].initialName, a);
    QCOMPARE(asked[2].kind, QStringLiteral("open"));
    QCOMPARE(asked[2].title, QStringLiteral("Open Image..."));
    QCOMPARE(asked[2].filter, qt);
    QCOMPARE(asked[2].initialName, QString());
    QVERIFY(t.canvas()->cmdlg.FileName.isEmpty());
    QVERIFY(t.messages().isEmpty());
    QVERIFY(t.canvas()->isVisible());
    QCOMPARE(t.canvas()->canvasState(), int(FrmMain::Maximized));
}

void TestFileIo::pngWarning_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("warned");
    QTest::newRow("shot.png") << "shot.png" << true;
    QTest::newRow("shot.PNG") << "shot.PNG" << false;
    QTest::newRow("shot.pNg") << "shot.pNg" << false;
    QTest::newRow("shotpng, no dot") << "shotpng" << true;
    QTest::newRow("shot.jpg") << "shot.jpg" << false;
}

void TestFileIo::pngWarning()
{
    QFETCH(QString, name);
    QFETCH(bool, warned);
    Shown t;
    const QString file = path(name);
    QFile::remove(file);
    t.answer(file);
    SaveImage(*t);
    QCOMPARE(t.messages().size(), warned ? 1 : 0);
    if (warned) {
        QCOMPARE(t.messages()[0].text, QStringLiteral("PNG ERROR!"));
        QCOMPARE(t.messages()[0].style, 0);
        QCOMPARE(t.messages()[0].title, QStringLiteral("Scrawlix"));
    }
    // Whatever the name, the file holds BMP data.
    QVERIFY(readFile(file).startsWith("BM"));
    QCOMPARE(QImageReader(file).format(), QByteArray("bmp"));
}

void TestFileIo::bmpRoundTrip()
{
    Shown t;
    const QString file = path(QStringLiteral("round.bmp"));
    t.answer(file);
    t.toolbox()->hide(); // the toolbox is shown again after a save, even if it was hidden
    SaveImage(*t);
    QVERIFY(t.messages().isEmpty());
    QVERIFY(t.toolbox()->isVisible());
    const QImage saved(file);
    const QImage snapshot = t.canvas()->picbox.image();
    QCOMPARE(saved.size(), t.canvas()->size() - QSize(2, 2));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), snapshot.convertToFormat(QImage::Format_RGB32));
    // The snapshot is the canvas without its one-pixel frame, drawing included.
    QCOMPARE(saved.pixel(9, 9), Marker);
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
             t.canvas()->image().copy(QRect(QPoint(1, 1), saved.size())));
}

void TestFileIo::failedSaves()
{
    Shown t;
    auto expectReported = [&](const QString& file, const char* reason) {
        QCOMPARE(t.messages().size(), 1);
        const auto m = t.messages().takeFirst();
        QVERIFY2(m.text.contains(shown(file)), qPrintable(m.text));
        QVERIFY2(m.text.contains(QLatin1String(reason), Qt::CaseInsensitive), qPrintable(m.text));
        QCOMPARE(m.style, 48);
        QVERIFY(t.canvas()->isVisible());
    };

    const QString folder = path(QStringLiteral("a-folder"));
    QVERIFY(QDir().mkpath(folder));
    t.answer(folder);
    SaveImage(*t);
    expectReported(folder, "folder");

    const QString nowhere = path(QStringLiteral("missing/shot.bmp"));
    t.answer(nowhere);
    SaveImage(*t);
    expectReported(nowhere, "does not exist");

    // A write that runs out of room (a file-size limit stands in for a full disk) leaves the
    // old file as it was and no temporary file behind.
    const QString target = path(QStringLiteral("full/shot.bmp"));
    QVERIFY(QDir().mkpath(path(QStringLiteral("full"))));
    writeFile(target, "old picture");
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    t.answer(target);
    SaveImage(*t);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    expectReported(target, "too large");
    QCOMPARE(readFile(target), QByteArray("old picture"));
    QCOMPARE(QDir(path(QStringLiteral("full"))).entryList(QDir::Files | QDir::Hidden),
             QStringList({"shot.bmp"}));

    if (geteuid() != 0) {
        const QString locked = path(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(locked));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        t.answer(locked + QStringLiteral("/shot.bmp"));
        SaveImage(*t);
        expectReported(locked + QStringLiteral("/shot.bmp"), "denied");
    }

    // A snapshot that fails is reported too, and the toolbox comes back.
    t.fake->fakeScreen->fail = true;
    SaveImage(*t);
    QCOMPARE(t.messages().size(), 1);
    QVERIFY(t.messages()[0].text.startsWith(QLatin1String("The image could not be saved.")));
    QVERIFY(t.toolbox()->isVisible());
    QCOMPARE(t.dialogs().asked.size(), 4 - (geteuid() == 0 ? 1 : 0));
}

void TestFileIo::openShowsPictureAtTopLeft_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::newRow("BMP 1024 x 768") << "big.bmp" << encoded(pattern(1024, 768), "bmp") << QSize(1024, 768);
    QTest::newRow("JPEG") << "photo.jpg" << encoded(pattern(333, 222), "jpeg") << QSize(333, 222);
    QTest::newRow("GIF") << "tiny.gif" << TinyGif << QSize(4, 3);
    QTest::newRow("BMP data named .jpg") << "saved.jpg" << encoded(pattern(64, 48), "bmp") << QSize(64, 48);
}

void TestFileIo::openShowsPictureAtTopLeft()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    Shown t;
    const QImage before = t.canvas()->picbox.image();
    writeFile(path(name), bytes);
    t.answer(path(name));
    t.fake->fakeTopMost->raised.clear();
    OpenImage(*t);
    QVERIFY2(t.messages().isEmpty(), qPrintable(t.messages().value(0).text));
    FrmMain* c = t.canvas();
    QVERIFY(c->isVisible());
    QCOMPARE(c->canvasState(), int(FrmMain::Normal));
    QCOMPARE(c->canvasGeometry(), QRect(QPoint(0, 0), size));
    QCOMPARE(c->picture().image().size(), size);
    // Drawing starts afresh from the picture, whose pixels are the file's.
    const QImage expected = QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(c->image().pixel(0, 0), expected.pixel(0, 0));
    QCOMPARE(c->image().pixel(size.width() - 1, size.height() - 1),
             expected.pixel(size.width() - 1, size.height() - 1));
    if (name.endsWith(QLatin1String(".bmp")) || name.endsWith(QLatin1String(".gif")))
        QCOMPARE(c->image().copy(QRect(QPoint(0, 0), size)), expected);
    QVERIFY(t.toolbox()->isVisible());
    QCOMPARE(t.fake->fakeTopMost->raised.size(), 1);
    QCOMPARE(t.fake->fakeTopMost->raised[0].data(), static_cast<QWidget*>(t.toolbox()));
    QCOMPARE(c->picbox.image().cacheKey(), before.cacheKey());
    if (size == QSize(1024, 768)) {
        // 27093 x 20320 HIMETRIC at 96 dpi; / 26.4575 x 15 twips per pixel.
        QCOMPARE(c->picture().Width(), 27093);
        QCOMPARE(c->picture().Height(), 20320);
        QCOMPARE(qRound(c->Left()), 0);
        QCOMPARE(qRound(c->canvasGeometry().width() * t->twipsPerPixelX()), 15360);
    }
}

void TestFileIo::openFromTrayKeepsLabelsAndErasesToIt()
{
    Shown t;
    t->drawing.WindowCaptureMode = true;
    SelectTool(*t, ToolText);
    placeText(*t, 40, 40);
    QCOMPARE(t.canvas()->lblText.Count(), 2);
    ShowHideCanvas(*t, QStringLiteral("hide"));
    QVERIFY(!t.canvas()->isVisible());
    const QImage kept = t.canvas()->picbox.image();

    const QImage pic = pattern(200, 120);
    writeFile(path(QStringLiteral("tray.bmp")), encoded(pic, "bmp"));
    t.answer(path(QStringLiteral("tray.bmp")));
    OpenImage(*t);
    QVERIFY(t.canvas()->isVisible());
    QVERIFY(t.toolbox()->isVisible());
    QCOMPARE(t.canvas()->canvasGeometry(), QRect(0, 0, 200, 120));
    // Labels, the capture kind, the tray menu and the kept snapshot are not Open's business.
    QCOMPARE(t.canvas()->lblText.Count(), 2);
    QVERIFY(t->drawing.WindowCaptureMode);
    QVERIFY(t.canvas()->mnuShow->isEnabled());
    QCOMPARE(t.canvas()->picbox.image().cacheKey(), kept.cacheKey());

    // Erasing shows the opened picture, not the earlier capture.
    t.canvas()->image().setPixel(5, 5, Marker);
    EraseCanvas(*t);
    QCOMPARE(t.canvas()->image(), pic);
}

void TestFileIo::unreadableFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // empty: the name is not created
    QTest::addColumn<QString>("reason");
    const QByteArray bmp = encoded(pattern(120, 80), "bmp");
    const QByteArray jpeg = encoded(pattern(120, 80), "jpeg");
    const QByteArray png = encoded(pattern(120, 80), "png");
    QTest::newRow("missing") << "missing.bmp" << QByteArray() << "does not exist";
    QTest::newRow("text named .bmp") << "text.bmp" << QByteArray("hello, world\n") << "not a picture";
    QTest::newRow("empty") << "empty.gif" << QByteArray("") << "not a picture";
    QTest::newRow("truncated BMP") << "cut.bmp" << bmp.left(bmp.size() - 100) << "incomplete";
    QTest::newRow("truncated JPEG") << "cut.jpg" << jpeg.left(jpeg.size() * 2 / 3) << "incomplete";
    QTest::newRow("JPEG cut at its last byte") << "cut2.jpg" << jpeg.left(jpeg.size() - 1) << "incomplete";
    QTest::newRow("truncated GIF") << "cut.gif" << TinyGif.left(46) << "incomplete";
    QTest::newRow("truncated PNG") << "cut.png" << png.left(png.size() - 20) << "incomplete";
    QTest::newRow("GIF of 20000 x 20000") << "bomb.gif" << hugeGif() << "too large";
    QTest::newRow("JPEG of 9000 x 9000") << "bomb.jpg" << jpegClaiming(9000, 9000) << "too large";
    QTest::newRow("BMP claiming 30000 x 30000") << "bomb.bmp" << bmp.left(54).replace(18, 8, QByteArray("\x30\x75\0\0\x30\x75\0\0", 8)) << "incomplete";
}

void TestFileIo::unreadableFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString file = path(QStringLiteral("bad-") + name);
    if (!bytes.isNull())
        writeFile(file, bytes);
    Shown t;
    const QImage pictureBefore = t.canvas()->picture().image();
    const QRect placeBefore = t.canvas()->geometry();
    t.answer(file);
    OpenImage(*t);
    QCOMPARE(t.messages().size(), 1);
    const auto m = t.messages()[0];
    QVERIFY2(m.text.contains(shown(file)), qPrintable(m.text));
    QVERIFY2(m.text.contains(reason, Qt::CaseInsensitive), qPrintable(m.text));
    QCOMPARE(m.style, 48);
    QCOMPARE(m.title, QStringLiteral("Scrawlix"));
    // The canvas keeps its picture, its drawing and its place.
    QCOMPARE(t.canvas()->picture().image().cacheKey(), pictureBefore.cacheKey());
    QCOMPARE(t.canvas()->image().pixel(10, 10), Marker);
    QCOMPARE(t.canvas()->canvasState(), int(FrmMain::Maximized));
    QCOMPARE(t.canvas()->geometry(), placeBefore);
}

void TestFileIo::shortcutTable_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("command");
    QTest::newRow("Ctrl+C") << 67 << true << false << "copy";
    QTest::newRow("C") << 67 << false << false << "";
    QTest::newRow("Shift+C") << 67 << false << true << "";
    QTest::newRow("Ctrl+S") << 83 << true << false << "save";
    QTest::newRow("Ctrl+Shift+S") << 83 << true << true << "save";
    QTest::newRow("S") << 83 << false << false << "";
    QTest::newRow("Ctrl+P") << 80 << true << false << "print";
    QTest::newRow("P") << 80 << false << false << "";
    QTest::newRow("Ctrl+O") << 79 << true << false << "open";
    QTest::newRow("Shift+O") << 79 << false << true << "";
    QTest::newRow("Shift+Delete") << 46 << false << true << "erase";
    QTest::newRow("Ctrl+Shift+Delete") << 46 << true << true << "erase";
    QTest::newRow("Ctrl+Delete") << 46 << true << false << "";
    QTest::newRow("Delete") << 46 << false << false << "";
    QTest::newRow("Ctrl+X") << 88 << true << false << "";
}

void TestFileIo::shortcutTable()
{
    QFETCH(int, key);
    QFETCH(bool, ctrl);
    QFETCH(bool, shift);
    QFETCH(QString, command);
    Shown t;
    QApplication::clipboard()->setText(QStringLiteral("untouched"));
    t.fake->fakeKeys->setDown(17, ctrl);
    t.fake->fakeKeys->setDown(16, shift);
    t.fake->fakeKeys->queries.clear();
    Form_KeyDown(*t, key);

    // Each of the five tests asks for its modifier, whether or not the key matches.
    QList<int> modifierQueries = t.fake->fakeKeys->queries;
    modifierQueries.removeIf([](int vk) { return vk != 16 && vk != 17; });
    QCOMPARE(modifierQueries.mid(0, 5), QList<int>({17, 17, 17, 17, 16}));
    QStringList ran;
    if (!QApplication::clipboard()->image().isNull())
        ran << QStringLiteral("copy");
    for (const auto& a : t.dialogs().asked) {
        if (a.kind == QLatin1String("save"))
            ran << QStringLiteral("save");
        if (a.kind == QLatin1String("open"))
            ran << QStringLiteral("open");
        if (a.kind == QLatin1String("printer"))
            ran << QStringLiteral("print");
    }
    for (const auto& m : t.messages())
        if (m.text == QLatin1String("There is no available printer to use."))
            ran << QStringLiteral("print");
    if (t.canvas()->image().pixel(10, 10) != Marker)
        ran << QStringLiteral("erase");
    QCOMPARE(ran, command.isEmpty() ? QStringList() : QStringList(command));
}

void TestFileIo::noShortcutsWhileTyping()
{
    Shown t;
    t.canvas()->activateWindow();
    SelectTool(*t, ToolText);
    placeText(*t, 60, 60);
    QTRY_VERIFY(t.canvas()->txtText->hasFocus());
    t.fake->fakeKeys->setDown(17, true);
    t.fake->fakeKeys->setDown(16, true);
    QApplication::clipboard()->setText(QStringLiteral("untouched"));
    QTest::keyClick(t.canvas()->txtText, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(t.canvas()->txtText, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(t.canvas()->txtText, Qt::Key_Delete, Qt::ShiftModifier);
    QVERIFY(QApplication::clipboard()->image().isNull());
    QVERIFY(t.dialogs().asked.isEmpty());
    QCOMPARE(t.canvas()->image().pixel(10, 10), Marker);

    // The same key on the canvas itself runs its command.
    t.canvas()->setFocus();
    QTRY_VERIFY(t.canvas()->hasFocus());
    QTest::keyClick(t.canvas(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(t.dialogs().asked.size(), 1);
}

QTEST_MAIN(TestFileIo)
#include "tst_fileio.moc"
