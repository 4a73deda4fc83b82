// Printing: the page layout, the orientation, the order of the printer calls, the QPrinter surface
// writing a PDF, and the Print command with and without a printer.

#include "imaging/fileio.h"
#include "imaging/picture.h"
#include "imaging/printing.h"
#include "shell/captureflow.h"
#include "shell/frmmain.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QRegularExpression>
#include <QtTest>

namespace {

Picture pictureOf(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::darkBlue);
    return Picture(img, {}, 96, 96);
}

// A printer in twips with a fixed printable area per orientation, recording what it is asked.
struct RecordingPrinter : PrinterSurface {
    float portraitWidth = 11000, portraitHeight = 15000;
    int orientation_ = orientation::Portrait;
    QStringList calls;
    QRectF painted;
    bool failPaint = false;

    int Orientation() const override { return orientation_; }
    void setOrientation(int o) override
    {
        calls << QStringLiteral("orientation %1").arg(o);
        orientation_ = o;
    }
    float ScaleWidth() const override
    {
        return orientation_ == orientation::Portrait ? portraitWidth : portraitHeight;
    }
    float ScaleHeight() const override
    {
        return orientation_ == orientation::Portrait ? portraitHeight : portraitWidth;
    }
    int ScaleMode() const override { return scale::Twips; }
    float ScaleX(float v, int from, int to) const override { return scaleConvert(v, from, to, 600, false); }
    float ScaleY(float v, int from, int to) const override { return scaleConvert(v, from, to, 600, true); }
    void PaintPicture(const Picture&, float x, float y, float w, float h) override
    {
        if (failPaint)
            throw PrinterError("paper jam");
        calls << QStringLiteral("paint");
        painted = QRectF(x, y, w, h);
    }
    void EndDoc() override { calls << QStringLiteral("enddoc"); }
};

// A QPrinter that writes a PDF file.
std::unique_ptr<QPrinter> pdfPrinter(const QString& path)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(10, 15, 10, 15), QPageLayout::Millimeter));
    return printer;
}

struct PdfFacts {
    int pages = 0;
    QSizeF mediaBox;
};

PdfFacts readPdf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromLatin1(f.readAll());
    PdfFacts facts;
    facts.pages = int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
    const auto m = QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)"))
                       .match(text);
    if (m.hasMatch())
        facts.mediaBox = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    return facts;
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layout_data();
    void layout();
    void orientation_data();
    void orientation();
    void scaleUnits();
    void fitToPageOrderAndFailures();
    void qtPrinterWritesOnePageAtTheRightSize();
    void emptyPictureSendsNoDocument();
    void printCommand();
};

void TestPrinting::layout_data()
{
    QTest::addColumn<int>("picW");
    QTest::addColumn<int>("picH");
    QTest::addColumn<float>("areaW");
    QTest::addColumn<float>("areaH");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<float>("outW");
    QTest::addColumn<float>("outH");
    QTest::newRow("wide picture fills the width") << 20000 << 10000 << 27000.f << 20000.f << true << 27000.f << 13500.f;
    QTest::newRow("tall picture fills the height") << 10000 << 20000 << 20000.f << 27000.f << true << 13500.f << 27000.f;
    // A 1022 x 766 snapshot at 96 dpi on a landscape sheet: relatively higher than the area.
    QTest::newRow("snapshot fills the height") << 27040 << 20267 << 27700.f << 19000.f << true << 25349.584f << 19000.f;
    QTest::newRow("zero-height picture") << 20000 << 0 << 27000.f << 20000.f << false << 0.f << 0.f;
    QTest::newRow("zero-height area") << 20000 << 10000 << 27000.f << 0.f << false << 0.f << 0.f;
    QTest::newRow("empty picture") << 0 << 0 << 27000.f << 20000.f << false << 0.f << 0.f;
}

void TestPrinting::layout()
{
    QFETCH(int, picW);
    QFETCH(int, picH);
    QFETCH(float, areaW);
    QFETCH(float, areaH);
    QFETCH(bool, fits);
    QFETCH(float, outW);
    QFETCH(float, outH);
    const std::optional<PrintSize> out = fitToPrintableArea(picW, picH, areaW, areaH);
    QCOMPARE(out.has_value(), fits);
    if (fits) {
        QCOMPARE(out->width, outW);
        QCOMPARE(out->height, outH);
    }
}

void TestPrinting::orientation_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("expected");
    QTest::newRow("1022 x 766 snapshot") << 1022 << 766 << orientation::Landscape;
    QTest::newRow("600 x 800") << 600 << 800 << orientation::Portrait;
    QTest::newRow("square") << 500 << 500 << orientation::Portrait;
}

void TestPrinting::orientation()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, expected);
    const Picture pic = pictureOf(w, h);
    QCOMPARE(orientationForPicture(pic.Width(), pic.Height()), expected);
}

void TestPrinting::scaleUnits()
{
    QCOMPARE(scaleConvert(1440, scale::Twips, scale::Inches, 96, false), 1.0f);
    QCOMPARE(scaleConvert(2540, scale::Himetric, scale::Twips, 96, false), 1440.0f);
    QCOMPARE(scaleConvert(72, scale::Points, scale::Twips, 96, false), 1440.0f);
    QCOMPARE(scaleConvert(300, scale::Pixels, scale::Inches, 300, true), 1.0f);
    QCOMPARE(scaleConvert(254, scale::Millimeters, scale::Centimeters, 96, false), 25.4f);
    QCOMPARE(scaleConvert(1, scale::Characters, scale::Twips, 96, false), 120.0f);
    QCOMPARE(scaleConvert(1, scale::Characters, scale::Twips, 96, true), 240.0f);
    QVERIFY_THROWS_EXCEPTION(PrinterError, scaleConvert(1, 0, scale::Twips, 96, false));
    QVERIFY_THROWS_EXCEPTION(PrinterError, scaleConvert(1, scale::Pixels, scale::Twips, 0, false));
    QVERIFY_THROWS_EXCEPTION(PrinterError, scaleConvert(3e38f, scale::Inches, scale::Twips, 96, false));
}

void TestPrinting::fitToPageOrderAndFailures()
{
    {
        // Landscape 20000 x 10000 HIMETRIC on an area of 15000 x 11000 twips: the width is
        // filled, at the top-left corner.
        RecordingPrinter printer;
        const Picture pic = pictureOf(757, 379); // 20029 x 10028 HIMETRIC at 96 dpi
        QVERIFY(PrintPictureToFitPage(printer, pic));
        QCOMPARE(printer.calls, QStringList({"orientation 2", "paint", "enddoc"}));
        QCOMPARE(printer.painted.topLeft(), QPointF(0, 0));
        QVERIFY(qAbs(printer.painted.width() - 15000.0) < 0.01);
        QVERIFY(qAbs(printer.painted.height() - 15000.0 * 10028 / 20029) < 0.01);
    }
    {
        // An empty picture stops before anything is painted; the document is not ended.
        RecordingPrinter printer;
        QVERIFY(!PrintPictureToFitPage(printer, Picture()));
        QCOMPARE(printer.calls, QStringList({"orientation 1"}));
    }
    {
        RecordingPrinter printer;
        printer.portraitWidth = 0;
        QVERIFY(!PrintPictureToFitPage(printer, pictureOf(100, 50)));
        QVERIFY(!printer.calls.contains(QStringLiteral("paint")));
    }
    {
        RecordingPrinter printer;
        printer.failPaint = true;
        QVERIFY(!PrintPictureToFitPage(printer, pictureOf(100, 50)));
        QVERIFY(!printer.calls.contains(QStringLiteral("enddoc")));
    }
}

void TestPrinting::qtPrinterWritesOnePageAtTheRightSize()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    auto printer = pdfPrinter(path);
    QtPrinterSurface surface(*printer);
    QCOMPARE(surface.ScaleMode(), scale::Twips);
    // A4 portrait less the margins, 190 x 267 mm, give or take the device's rounding of them
    // to whole pixels (half a millimetre is 28 twips).
    auto twips = [](double mm) { return mm / 25.4 * 1440; };
    QVERIFY(qAbs(surface.ScaleWidth() - twips(190)) < 28);
    QVERIFY(qAbs(surface.ScaleHeight() - twips(267)) < 28);

    QVERIFY(PrintPictureToFitPage(surface, pictureOf(1022, 766)));
    QCOMPARE(surface.Orientation(), orientation::Landscape);
    QVERIFY(!surface.printing());
    // The margins stay on their sides: the landscape printable area is 277 x 180 mm.
    QVERIFY(qAbs(surface.ScaleWidth() - twips(277)) < 28);
    QVERIFY(qAbs(surface.ScaleHeight() - twips(180)) < 28);
    const PdfFacts facts = readPdf(path);
    QCOMPARE(facts.pages, 1);
    QVERIFY2(facts.mediaBox.width() > facts.mediaBox.height(), "the page is not landscape");

    // A second EndDoc finds no document and leaves the file alone.
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    surface.EndDoc();
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
}

void TestPrinting::emptyPictureSendsNoDocument()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("none.pdf"));
    auto printer = pdfPrinter(path);
    QtPrinterSurface surface(*printer);
    QVERIFY(!PrintPictureToFitPage(surface, Picture()));
    surface.EndDoc();
    QVERIFY(!QFile::exists(path));

    // A printer that cannot start its document makes the print fail quietly.
    auto broken = pdfPrinter(dir.filePath(QStringLiteral("no/such/folder/x.pdf")));
    QtPrinterSurface brokenSurface(*broken);
    QVERIFY(!PrintPictureToFitPage(brokenSurface, pictureOf(40, 30)));
}

void TestPrinting::printCommand()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("print.pdf"));
    auto started = [] {
        auto t = std::make_unique<TestProgram>();
        (*t)->captureWait = [] { QCoreApplication::processEvents(); };
        (*t)->start();
        CaptureAndShow(**t, QStringLiteral("screen"));
        return t;
    };
    const PrinterChooser toPdf = [&] { return pdfPrinter(path); };
    {
        // No printer: the message, and neither dialog nor snapshot.
        auto t = started();
        const int captures = t->fake->fakeScreen->captures;
        PrintImageWith(**t, [] { return std::unique_ptr<QPrinter>(); });
        QCOMPARE(t->fake->fakeMessages->shown.size(), 1);
        QCOMPARE(t->fake->fakeMessages->shown[0].text, QStringLiteral("There is no available printer to use."));
        QCOMPARE(t->fake->fakeMessages->shown[0].style, 48);
        QCOMPARE(t->fake->fakeMessages->shown[0].title, QStringLiteral("Error"));
        QVERIFY(t->fake->fakeDialogs->asked.isEmpty());
        QCOMPARE(t->fake->fakeScreen->captures, captures);
    }
    {
        // The printer dialog is cancelled (the script's empty queue), and the page prints.
        auto t = started();
        PrintImageWith(**t, toPdf);
        QCOMPARE(t->fake->fakeDialogs->asked.size(), 1);
        QCOMPARE(t->fake->fakeDialogs->asked[0].kind, QStringLiteral("printer"));
        QCOMPARE(t->fake->fakeDialogs->asked[0].title, QStringLiteral("Print Image..."));
        QCOMPARE(readPdf(path).pages, 1);
        QVERIFY((*t)->frmToolbox()->isVisible());
        QVERIFY(t->fake->fakeMessages->shown.isEmpty());
        QCOMPARE((*t)->frmMain()->picbox.image().size(), (*t)->frmMain()->size() - QSize(2, 2));
    }
    QVERIFY(QFile::remove(path));
    {
        // A snapshot that fails ends the print without a word.
        auto t = started();
        t->fake->fakeScreen->fail = true;
        PrintImageWith(**t, toPdf);
        QVERIFY(!QFile::exists(path));
        QVERIFY(t->fake->fakeMessages->shown.isEmpty());
    }
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
