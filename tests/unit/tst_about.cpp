// Help and About: the help file out of reach; the About box's caption, layout and link, and the
// modal box asked for while the toolbox's box is open.

#include "about/frmabout.h"
#include "about/helpfiles.h"
#include "about/webaddress.h"
#include "settings/dialogfont.h"
#include "shell/commands.h"
#include "canvas/frmmain.h"
#include "testprogram.h"

#include <QDir>
#include <QtTest>
#include <QtWidgets>

namespace {

struct AboutProgram : StartedProgram {
    QString caption; // of the last modal box seen open
    FrmAbout* about(bool modal = false) const
    {
        for (QWidget* w : program->loadedForms())
            if (auto* a = qobject_cast<FrmAbout*>(w); a && a->isModal() == modal)
                return a;
        return nullptr;
    }
    // ShowAbout, from the tray: the caption of the modal box it opens, which is then closed.
    QString showModal()
    {
        caption.clear();
        QTimer::singleShot(0, program->frmMain(), [this] {
            if (FrmAbout* a = about(true)) {
                caption = a->windowTitle();
                named<QPushButton>(a, "cmdOK")->click();
            }
        });
        ShowAbout(*program);
        QTest::qWait(10);
        return caption;
    }
};

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void helpFolders();
    void helpFileOrItsPages();
    void aboutBox();
};

void TestAbout::helpFolders()
{
    // Installed: the data folder beside bin first, then the program's own folder (a build tree);
    // on Windows only the program's folder.
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("usr/bin"));
    const QString data = root.filePath(QStringLiteral("usr/share/scrawlix"));
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(data));
    const auto touch = [](const QString& file) {
        QFile f(file);
        return f.open(QIODevice::WriteOnly);
    };
    // Neither: the name beside the program, which Help then reports as unavailable.
    QCOMPARE(findHelpFile(bin, false), bin + QStringLiteral("/Scrawlix_Help.chm"));
    QVERIFY(touch(bin + QStringLiteral("/Scrawlix_Help.chm")));
    QCOMPARE(findHelpFile(bin, false), bin + QStringLiteral("/Scrawlix_Help.chm"));
    QVERIFY(touch(data + QStringLiteral("/Scrawlix_Help.chm")));
    QCOMPARE(findHelpFile(bin, false), data + QStringLiteral("/Scrawlix_Help.chm"));
    QCOMPARE(findHelpFile(bin, true), bin + QStringLiteral("/Scrawlix_Help.chm"));
    QCOMPARE(helpPagesIndex(data + QStringLiteral("/Scrawlix_Help.chm")),
             data + QStringLiteral("/help/index.html"));
}

void TestAbout::helpFileOrItsPages()
{
    AboutProgram t;
    const QString chm = t.dir.filePath(QStringLiteral("Scrawlix_Help.chm"));
    const QString index = t.dir.filePath(QStringLiteral("help/index.html"));
    t->helpFile = chm;
    FakeShellOpen& shell = *t.fake->fakeShell;
    const auto& shown = t.fake->fakeMessages->shown;

    // No help file, though the desktop would open anything: unavailable, and nothing is opened.
    ShowHelp(*t);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text + '|' + shown[0].title + '|' + QString::number(shown[0].style),
             "Help File unavailable.|Help Error|16");
    QVERIFY(shell.opened.isEmpty());
    QVERIFY(!t->ended);

    // A viewer takes the compiled help: the pages are left alone.
    QVERIFY(QDir(t.dir.path()).mkpath(QStringLiteral("help")));
    QVERIFY(writeFile(chm, {}) && writeFile(index, {}));
    ShowHelp(*t);
    QCOMPARE(shell.opened, QStringList{chm});

    // None does: the pages' index goes to the browser, and nothing is reported.
    shell.opened.clear();
    shell.refuseSuffix = QStringLiteral(".chm");
    ShowHelp(*t);
    QCOMPARE(shell.opened, QStringList({chm, index}));
    QCOMPARE(shown.size(), 1);

    // No browser either: unavailable, and the user learns where the pages are.
    shell.succeed = false;
    ShowHelp(*t);
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[1].text, "Help File unavailable.\n\nThe help pages can be read in a web browser:\n" +
                                QDir::toNativeSeparators(index));
}

void TestAbout::aboutBox()
{
    AboutProgram t;
    QCOMPARE(t.showModal(), QStringLiteral("About Scrawlix 5.0.68"));
    QVERIFY(!t.about());
    // While the toolbox's box is open, the tray's brings that one up instead of a modal one.
    ShowAboutModeless(*t);
    FrmAbout* a = t.about();
    QVERIFY(a && a->isVisible());
    QCOMPARE(t.showModal(), QString());
    QCOMPARE(t.about(), a);

    // Fixed in size, and no text is cut off, whatever the desktop's font.
    QCOMPARE(a->minimumSize(), a->maximumSize());
    for (QWidget* widget : a->findChildren<QWidget*>())
        QVERIFY2(textFits(widget, widget->font()), qPrintable(widget->objectName()));

    // The link opens the page and closes the box, whether or not a browser started.
    t.fake->fakeShell->succeed = false;
    QTest::mouseClick(named(a, "lblWebAddress"), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(t.fake->fakeShell->opened, QStringList{ProductWebAddress});
    QVERIFY(!t.about());
    QVERIFY(t.fake->fakeMessages->shown.isEmpty());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
