// Help and About: opening the help file, the About box's caption, keys, link and layout, and the
// modal box asked for while the toolbox's box is open.

#include "about/frmabout.h"
#include "about/webaddress.h"
#include "settings/dialogfont.h"
#include "shell/captureflow.h"
#include "shell/commands.h"
#include "shell/frmmain.h"
#include "testprogram.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>

namespace {

struct AboutProgram : TestProgram {
    AboutProgram()
    {
        program->captureWait = [] {};
        program->start();
        QFile f(dir.filePath(QStringLiteral("Scrawlix_Help.chm")));
        if (f.open(QIODevice::WriteOnly))
            f.write("ITSF");
        program->helpFile = f.fileName();
    }
    FrmAbout* about() const
    {
        for (QWidget* w : program->loadedForms()) {
            if (w->objectName() == QLatin1String("frmAbout"))
                return qobject_cast<FrmAbout*>(w);
        }
        return nullptr;
    }
    FrmAbout* openModeless()
    {
        ShowAboutModeless(*program);
        return about();
    }
    // ShowAbout, with during() run inside its modal loop; a box still open after 5 s is ended.
    template <typename During>
    void showModal(During during)
    {
        QWidget* context = program->frmMain(); // no timer outlives this program
        QTimer::singleShot(0, context, during);
        QTimer::singleShot(5000, context, [this] {
            if (FrmAbout* a = about(); a && a->isModal())
                a->done(0);
        });
        ShowAbout(*program);
    }
    QStringList& opened() { return fake->fakeShell->opened; }
};

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void helpOpensTheFileAfterHidingTheCanvas();
    void helpFileUnavailable();
    void captionAndModality();
    void linkOpensThePageAndCloses();
    void modalBoxWhileTheToolboxBoxIsOpenRaisesThatOne();
    void layoutAt96Dpi();
};

void TestAbout::helpOpensTheFileAfterHidingTheCanvas()
{
    AboutProgram t;
    ShowHelp(*t);
    QCOMPARE(t.opened(), QStringList{t->helpFile});
    QVERIFY(!t->frmMain()->mnuShow->isEnabled()); // from the tray nothing else changes

    CaptureAndShow(*t, QStringLiteral("screen"));
    ShowHelp(*t);
    QCOMPARE(t.opened().size(), 2);
    QVERIFY(!t->frmMain()->isVisible());
    QVERIFY(t->frmMain()->mnuShow->isEnabled()); // kept, as "hide" keeps it
    QVERIFY(t.fake->fakeMessages->shown.isEmpty());
}

void TestAbout::helpFileUnavailable()
{
    for (const char* problem : {"missing file", "a folder of that name", "nothing can open it"}) {
        AboutProgram t;
        const QString p = QLatin1String(problem);
        if (p == QLatin1String("missing file"))
            QVERIFY(QFile::remove(t->helpFile));
        else if (p == QLatin1String("a folder of that name"))
            t->helpFile = t.dir.path();
        else
            t.fake->fakeShell->succeed = false;
        ShowHelp(*t);
        const auto& shown = t.fake->fakeMessages->shown;
        QVERIFY2(shown.size() == 1, problem);
        QCOMPARE(shown[0].text, QStringLiteral("Help File unavailable."));
        QCOMPARE(shown[0].title, QStringLiteral("Help Error"));
        QCOMPARE(shown[0].style, 16);
        QVERIFY(!t->ended);
    }
}

void TestAbout::captionAndModality()
{
    AboutProgram t;
    FrmAbout* first = t.openModeless();
    QCOMPARE(first->windowTitle(), QStringLiteral("About Scrawlix 5.0.68"));
    QVERIFY(first->isVisible() && !first->isModal());
    first->cmdOK->click();
    QVERIFY(!IsFormLoaded(*t, QStringLiteral("frmAbout")));

    // From the tray menu: loaded afresh, modal, and ShowAbout returns once it is closed.
    QString caption;
    bool modal = false;
    t.showModal([&] {
        caption = t.about()->windowTitle();
        modal = t.about()->windowModality() == Qt::ApplicationModal;
        t.about()->cmdOK->click();
    });
    QCOMPARE(caption, QStringLiteral("About Scrawlix 5.0.68"));
    QVERIFY(modal);
    QVERIFY(!IsFormLoaded(*t, QStringLiteral("frmAbout")));
}

void TestAbout::linkOpensThePageAndCloses()
{
    const QUrl url(ProductWebAddress);
    QCOMPARE(url.scheme(), QStringLiteral("https"));
    QCOMPARE(url.path(), QStringLiteral("/products/scrawlix/"));

    AboutProgram t;
    FrmAbout* about = t.openModeless();
    QLabel* link = about->lblWebAddress;
    QCOMPARE(link->text().remove(QChar(0x2060)), QStringLiteral("Scrawlix on the web: ") + ProductWebAddress);
    QVERIFY(link->font().underline());
    QCOMPARE(link->palette().color(QPalette::WindowText), about->palette().color(QPalette::Highlight));
    QCOMPARE(link->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(link->cursor().hotSpot(), QPoint(12, 5));

    // Whether or not a browser could be started, the box closes.
    t.fake->fakeShell->succeed = false;
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(t.opened(), QStringList{ProductWebAddress});
    QVERIFY(!IsFormLoaded(*t, QStringLiteral("frmAbout")));
    QVERIFY(t.fake->fakeMessages->shown.isEmpty());
}

void TestAbout::modalBoxWhileTheToolboxBoxIsOpenRaisesThatOne()
{
    AboutProgram t;
    FrmAbout* open = t.openModeless();
    t.showModal([] {}); // returns at once
    ShowAboutModeless(*t);
    int loaded = 0;
    for (QWidget* w : t->loadedForms())
        loaded += w->objectName() == QLatin1String("frmAbout");
    QCOMPARE(loaded, 1);
    QCOMPARE(t.about(), open);
    QVERIFY(open->isVisible() && !open->isModal());

    // Exit unloads About, then the options dialog, then toolbox and canvas.
    ShowOptions(*t);
    QStringList unloaded;
    t->beforeUnload = [&](const QString& name) { unloaded << name; };
    ExitProgram(*t);
    QCOMPARE(unloaded, QStringList({"frmAbout", "frmOptions", "frmToolbox", "frmMain"}));
}

void TestAbout::layoutAt96Dpi()
{
    AboutProgram t;
    QCOMPARE(t->twipsPerPixelX(), 15.0);
    FrmAbout* a = t.openModeless();
    QCOMPARE(a->size(), QSize(522, 193));
    QCOMPARE(a->minimumSize(), a->maximumSize());
    QVERIFY(!(a->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    const QList<QPair<QWidget*, QRect>> expected = {
        {a->Frame1, {8, 0, 201, 113}},        {a->Image1, {8, 7, 187, 104}},
        {a->Frame2, {216, 0, 297, 113}},      {a->lblDescription, {8, 16, 281, 62}},
        {a->lblWebAddress, {8, 80, 281, 28}}, {a->Frame5, {8, 120, 337, 65}},
        {a->lblDisclaimer, {8, 16, 313, 47}}, {a->Frame3, {352, 120, 161, 65}},
        {a->cmdOK, {8, 16, 140, 39}},
    };
    for (const auto& [widget, rect] : expected) {
        QCOMPARE(widget->geometry(), rect);
        QVERIFY2(textFits(widget, widget->font()), qPrintable(widget->objectName()));
    }
    QCOMPARE(a->Image1->pixmap().size(), QSize(187, 104));
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
