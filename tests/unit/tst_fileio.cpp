// Saving and opening image files through the common dialog, failures included, and the canvas's
// keyboard shortcuts.

#include "canvas/mousedrawing.h"
#include "canvas/textentry.h"
#include "canvas/texttool.h"
#include "canvas/tools.h"
#include "shell/toolselection.h"
#include "imaging/fileio.h"
#include "shell/captureflow.h"
#include "shell/commands.h"
#include "canvas/frmmain.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QtTest>
#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

using Shown = ShownProgram;
constexpr QRgb Marker = ShownProgram::Marker;

QByteArray encoded(int w, int h, const char* format)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x / 8 + y / 8) % 2 ? 200 : 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format, 100);
    return bytes;
}

// A 4 x 3 GIF. Its logical screen size is at byte 6, its image's size at 38, its pixel data is
// one sub-block of 4 bytes at 44.
const QByteArray TinyGif = QByteArray::fromHex(
    "47494638396104000300f10200c81e1e0000ffffffff00000021f90400000000002c0000000004000300"
    "0002040c848957003b");

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

} // namespace

class TestFileIo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void filterAndKeptFileName();
    void save_data();
    void save();
    void open_data();
    void open();
    void shortcuts_data();
    void shortcuts();

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
#if defined(Q_OS_UNIX)
    std::signal(SIGXFSZ, SIG_IGN); // a write beyond the file-size limit fails instead
#endif
    QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("full")));
}

void TestFileIo::filterAndKeptFileName()
{
    // Qt's own file dialog reads both JPEG patterns from the converted filter.
    const QString qt = qtFilterFromCommonFilter(imageFileFilter());
    QFileDialog fd;
    fd.setOption(QFileDialog::DontUseNativeDialog);
    fd.setNameFilter(qt);
    fd.selectNameFilter(fd.nameFilters().value(1));
    QCOMPARE(fd.findChild<QFileSystemModel*>()->nameFilters(), QStringList({"*.jpg", "*.jpeg"}));

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
        offered << d.kind + QLatin1Char(' ') + d.initialName + QLatin1Char(' ') + d.defaultSuffix +
                       QLatin1Char(' ') + d.filter;
    QCOMPARE(offered,
             QStringList({"save  .bmp " + qt, "save " + a + " .bmp " + qt, "open  .bmp " + qt}));
    QVERIFY(t->cmdlg.FileName.isEmpty());
    QVERIFY(t.messages().isEmpty());
    QCOMPARE(t.canvas()->canvasState(), int(FrmMain::Maximized));
}

void TestFileIo::save_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message"); // what the one message box says, if there is one
    QTest::newRow("shot.bmp") << "shot.bmp" << "";
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

void TestFileIo::save()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    const QString file = path(name);
    const bool fails = !message.isEmpty() && message != QLatin1String("PNG ERROR!");
    QFile old(file);
    if (fails && old.open(QIODevice::WriteOnly))
        old.write("old picture");
    old.close();
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
    QCOMPARE(saved, t->picbox.image().convertToFormat(QImage::Format_RGB32));
    QCOMPARE(saved,
             t.canvas()->image().copy(QRect(QPoint(1, 1), t.canvas()->size() - QSize(2, 2))));
}

void TestFileIo::open_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // null: the file is not created
    QTest::addColumn<QString>("refused"); // why, when the file cannot be opened
    const QByteArray bmp = encoded(120, 80, "bmp");
    const QByteArray jpeg = encoded(333, 222, "jpeg");
    QByteArray jpegBomb = jpeg; // its frame header claims 9000 x 9000
    jpegBomb.replace(int(jpeg.indexOf("\xFF\xC0")) + 5, 4, QByteArray("\x23\x28\x23\x28", 4));
    const QByteArray side20000("\x20\x4e\x20\x4e");
    QTest::newRow("BMP 1024 x 768") << "big.bmp" << encoded(1024, 768, "bmp") << "";
    QTest::newRow("JPEG") << "photo.jpg" << jpeg << "";
    QTest::newRow("GIF") << "tiny.gif" << TinyGif << "";
    QTest::newRow("BMP data named .jpg") << "saved.jpg" << bmp << "";
    QTest::newRow("missing") << "missing.bmp" << QByteArray() << "does not exist";
    QTest::newRow("text named .bmp") << "text.bmp" << QByteArray("hello, world\n") << "not a picture";
    QTest::newRow("truncated BMP") << "cut.bmp" << bmp.left(bmp.size() - 100) << "incomplete";
    QTest::newRow("JPEG cut at its last byte") << "cut.jpg" << jpeg.left(jpeg.size() - 1) << "incomplete";
    QTest::newRow("truncated GIF") << "cut.gif" << TinyGif.left(46) << "incomplete";
    QTest::newRow("GIF of 20000 x 20000")
        << "bomb.gif" << QByteArray(TinyGif).replace(6, 4, side20000).replace(38, 4, side20000) << "too large";
    QTest::newRow("JPEG of 9000 x 9000") << "bomb.jpg" << jpegBomb << "too large";
}

void TestFileIo::open()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refused);
    const QString file = path(name);
    QVERIFY(bytes.isNull() || writeFile(file, bytes));
    Shown t;
    FrmMain* c = t.canvas();
    const bool opens = refused.isEmpty();
    // An opened picture shows at the top-left corner, at its size (its HIMETRIC size at 96 dpi,
    // turned back); a refused one leaves the canvas with its picture, its drawing and its place.
    const QImage drawn = c->image();
    const QImage picture = opens ? QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32)
                                 : c->picture().image();
    const QRect place = opens ? QRect(QPoint(0, 0), picture.size()) : c->canvasGeometry();
    t.answer(file);
    OpenImage(*t);
    expectMessage(t, refused, file);
    QVERIFY(c->isVisible() && t->frmToolbox()->isVisible());
    QCOMPARE(c->canvasState(), int(opens ? FrmMain::Normal : FrmMain::Maximized));
    QCOMPARE(c->canvasGeometry(), place);
    QCOMPARE(c->image(), opens ? picture : drawn);
    // Erasing goes back to that picture.
    EraseCanvas(*t);
    QCOMPARE(c->image(), picture);
}

void TestFileIo::shortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("typing"); // the key goes to the text box, not the canvas
    QTest::addColumn<QString>("command");
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << true << false << false << "copy";
    QTest::newRow("C") << int(Qt::Key_C) << false << false << false << "";
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << true << false << false << "save";
    QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << true << true << false << "save";
    QTest::newRow("Ctrl+P") << int(Qt::Key_P) << true << false << false << "print";
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << true << false << false << "open";
    QTest::newRow("Shift+Delete") << int(Qt::Key_Delete) << false << true << false << "erase";
    QTest::newRow("Ctrl+Delete") << int(Qt::Key_Delete) << true << false << false << "";
    QTest::newRow("Delete") << int(Qt::Key_Delete) << false << false << false << "";
    QTest::newRow("Ctrl+C while typing") << int(Qt::Key_C) << true << false << true << "";
    QTest::newRow("Ctrl+S while typing") << int(Qt::Key_S) << true << false << true << "";
}

void TestFileIo::shortcuts()
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
    for (const auto& m : t.messages()) // with no printer, Print says so instead of asking
        ran << (m.text == QLatin1String("There is no available printer to use.")
                    ? QStringLiteral("print")
                    : m.text);
    if (t.canvas()->image().pixel(10, 10) != Marker)
        ran << QStringLiteral("erase");
    QCOMPARE(ran, command.isEmpty() ? QStringList() : QStringList(command));
}

QTEST_MAIN(TestFileIo)
#include "tst_fileio.moc"
