// Translation. With a catalogue installed that marks every text it is asked for, the windows,
// the tray menu, the lists, the dialogs' captions, the message boxes, the notices and the command
// line show only marked texts, while what the program stores or reads back stays the English
// source or the number. And a compiled catalogue is found for the user's language where the
// program looks for it; without one the texts stay English.

#include "about/frmabout.h"
#include "canvas/colortable.h"
#include "settings/frmoptions.h"
#include "shell/commandline.h"
#include "shell/commands.h"
#include "shell/instancerequests.h"
#include "shell/translations.h"
#include "shell/trayicon.h"
#include "testprogram.h"
#include "ui/widgets.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QChar Open(0x00AB);  // «
const QChar Close(0x00BB); // »

// Translates every text into the text between marks.
class MarkingTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* sourceText, const char*, int) const override
    {
        return Open + QString::fromUtf8(sourceText) + Close;
    }
};

// Installed for as long as it lives.
struct Marking {
    MarkingTranslator translator;
    Marking() { QCoreApplication::installTranslator(&translator); }
    ~Marking() { QCoreApplication::removeTranslator(&translator); }
};

// What is left of a text once the marked parts, marked parts within them included, are taken out.
QString unmarked(QString text)
{
    static const QRegularExpression marked(QStringLiteral("\u00AB[^\u00AB\u00BB]*\u00BB"));
    for (qsizetype before = -1; before != text.size();) {
        before = text.size();
        text.remove(marked);
    }
    return text;
}

// A text that has words of its own outside the marks did not go through the translator.
bool translated(const QString& text)
{
    const QString rest = unmarked(text);
    return std::none_of(rest.begin(), rest.end(), [](QChar c) { return c.isLetter(); });
}

// The font lists hold the system's font names, which are no texts of ours.
bool listsFonts(const QComboBox* list)
{
    return list->objectName() == QLatin1String("cboTextFont") ||
           list->objectName() == QLatin1String("cboDefaultFont");
}

// Every text a window shows: its title, and its widgets' captions, tooltips and list entries,
// each with where it is.
QStringList shownTexts(const QWidget* window)
{
    QStringList texts;
    const auto add = [&texts](const QObject* where, const QString& text) {
        if (!text.isEmpty())
            texts << where->objectName() + QStringLiteral(": ") + text;
    };
    add(window, window->windowTitle());
    add(window, window->toolTip());
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        add(w, w->toolTip());
        if (auto* label = qobject_cast<const QLabel*>(w))
            add(w, label->text());
        if (auto* button = qobject_cast<const QAbstractButton*>(w))
            add(w, button->text());
        if (auto* group = qobject_cast<const QGroupBox*>(w))
            add(w, group->title());
        if (auto* caption = qobject_cast<const FrameCaption*>(w))
            add(w, caption->caption());
        if (auto* list = qobject_cast<const QComboBox*>(w); list && !listsFonts(list)) {
            for (int i = 0; i < list->count(); ++i)
                add(w, list->itemText(i));
        }
    }
    return texts;
}

QStringList untranslated(const QStringList& texts)
{
    QStringList found;
    for (const QString& t : texts) {
        if (!translated(t.mid(t.indexOf(QStringLiteral(": ")) + 2)))
            found << t;
    }
    return found;
}

template <typename T> T* loaded(Program& program)
{
    for (QWidget* w : program.loadedForms())
        if (auto* form = qobject_cast<T*>(w))
            return form;
    return nullptr;
}

} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void windowsShowOnlyTranslatedTexts();
    void messagesAndDialogsAreTranslated();
    void commandLineIsTranslated();
    void storedValuesStayTheSource();
    void catalogueForTheUsersLanguage();
};

void TestTranslation::windowsShowOnlyTranslatedTexts()
{
    Marking marking;
    StartedProgram t;
    ShowOptions(*t);
    ShowAboutModeless(*t);
    auto* options = loaded<FrmOptions>(*t);
    auto* about = loaded<FrmAbout>(*t);
    QVERIFY(options && about);

    QStringList texts;
    for (const QWidget* window :
         {static_cast<QWidget*>(t.toolbox()), static_cast<QWidget*>(options),
          static_cast<QWidget*>(about), static_cast<QWidget*>(t.canvas())})
        texts << shownTexts(window);
    QMenu* menu = t->tray()->menu();
    texts << QStringLiteral("menu: ") + menu->title();
    for (const QAction* a : menu->actions()) {
        if (!a->isSeparator())
            texts << a->objectName() + QStringLiteral(": ") + a->text();
    }
    // Enough of them to mean something: the toolbox's command buttons, the colours, the tools...
    QVERIFY2(texts.size() > 150, qPrintable(QString::number(texts.size())));
    const QStringList missed = untranslated(texts);
    QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QLatin1Char('\n'))));
}

void TestTranslation::messagesAndDialogsAreTranslated()
{
    Marking marking;
    ShownProgram t;

    // A notice at the tray.
    SayAlreadyRunning(*t);
    QCOMPARE(t.notices.size(), 1);
    QVERIFY2(translated(t.notices[0]), qPrintable(t.notices[0]));

    // The save dialog's caption and file types, and the box that says why the file was not
    // written, with the reason from below the shell.
    t.answer(t.dir.filePath(QStringLiteral("no-such-folder/shot.bmp")));
    SaveImage(*t);
    QCOMPARE(t.asked().size(), 1);
    QVERIFY2(translated(t.asked()[0].title), qPrintable(t.asked()[0].title));
    const QStringList filter = t.asked()[0].filter.split(QStringLiteral(";;"));
    QCOMPARE(filter.size(), 4);
    for (const QString& type : filter) // "«description» (patterns)"
        QVERIFY2(type.startsWith(Open) && translated(type.left(type.lastIndexOf(Close) + 1)),
                 qPrintable(type));
    QCOMPARE(t.messages().size(), 1);
    const RecordingMessageBoxes::Shown& box = t.messages()[0];
    QVERIFY2(translated(box.title), qPrintable(box.title));
    QVERIFY2(translated(box.text), qPrintable(box.text));
    QVERIFY2(box.text.count(Open) == 2, qPrintable(box.text)); // the box's and the reason's

    // Help that cannot be shown.
    t->helpFile = t.dir.filePath(QStringLiteral("Scrawlix_Help.chm"));
    ShowHelp(*t);
    QCOMPARE(t.messages().size(), 2);
    const RecordingMessageBoxes::Shown& help = t.messages().last();
    QVERIFY2(translated(help.title) && translated(help.text), qPrintable(help.title + help.text));
}

void TestTranslation::commandLineIsTranslated()
{
    Marking marking;
    // What is left of --help are the options' own names, which are the same in every language.
    const QStringList rest =
        unmarked(usageText()).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    static const QRegularExpression option(QStringLiteral("^(--?[a-z-]+,?|\\[?FILE\\]?)$"));
    for (const QString& word : rest)
        QVERIFY2(option.match(word).hasMatch(), qPrintable(word));
    QVERIFY(rest.contains(QStringLiteral("--capture-screen")));
    QVERIFY(usageText().contains(QStringLiteral("«capture the screen and show it on the canvas»")));

    const CommandLine wrong = parseCommandLine({QByteArray("--no-such-option")}, QByteArray("/"));
    QCOMPARE(wrong.kind, CommandLine::Kind::Error);
    QCOMPARE(wrong.error, QStringLiteral("«unknown option '--no-such-option'»"));
}

void TestTranslation::storedValuesStayTheSource()
{
    Marking marking;
    StartedProgram t;
    t.fake->fakeDialogs->colorAnswers.push_back(QColor(10, 20, 30)); // 0x1E140A

    // The toolbox draws with the size picked, whatever the entry says.
    FrmToolbox* toolbox = t.toolbox();
    toolbox->chooseSize(29);
    QCOMPARE(toolbox->attributes().size, 30);
    // The tool bar's buttons keep their English names, which the help pages use.
    auto* tools = named<ToolBar>(toolbox, "tlbr_mode");
    QCOMPARE(tools->key(1), QStringLiteral("Pen"));
    QCOMPARE(tools->button(1)->toolTip(), QStringLiteral("«Pen»"));
    // The colours' names, as the program knows them, are the English ones.
    QCOMPARE(colorNames().value(CustomColorIndex), QStringLiteral("Custom ..."));

    // OK saves numbers, and the custom colour while "Custom ..." is the default colour.
    ShowOptions(*t);
    auto* options = loaded<FrmOptions>(*t);
    QVERIFY(options);
    named<ComboList>(options, "cboDefaultPenSize")->setListIndex(41);
    named<ComboList>(options, "cboDefaultPenColor")->setListIndex(CustomColorIndex);
    named<QPushButton>(options, "cmdOK")->click();
    const auto store = t.reopenStore();
    QCOMPARE(store->read(setting.PenSize.key), QStringLiteral("42"));
    QCOMPARE(store->read(setting.PenColor.key), QString::number(CustomColorIndex));
    QCOMPARE(store->read(setting.CustomColor.key), QString::number(0x1E140A));
}

void TestTranslation::catalogueForTheUsersLanguage()
{
    // Installed: in the data folder beside the help; on Windows and in the build, beside the
    // program.
    QCOMPARE(translationFolders(QStringLiteral("/opt/sx/bin"), false),
             QStringList({QStringLiteral("/opt/sx/share/scrawlix/translations"),
                          QStringLiteral("/opt/sx/bin/translations")}));
    QCOMPARE(translationFolders(QStringLiteral("C:/Programs/Scrawlix"), true),
             QStringList{QStringLiteral("C:/Programs/Scrawlix/translations")});
#if defined(TEST_CATALOGUE_DIR)
    QTemporaryDir empty;
    const QString dir = QStringLiteral(TEST_CATALOGUE_DIR);
    const QStringList folders{empty.path(), dir};
    const auto removeAll = [] { qDeleteAll(qApp->findChildren<QTranslator*>()); };

    const auto ours = [](const QStringList& files) {
        return std::count_if(files.begin(), files.end(), [](const QString& f) {
            return QFileInfo(f).fileName().startsWith(QLatin1String("scrawlix"));
        });
    };

    // No catalogue for French: English.
    const QStringList none = installTranslations(*qApp, QLocale(QLocale::French), folders);
    QVERIFY2(ours(none) == 0, qPrintable(none.join(' ')));
    {
        StartedProgram t;
        QCOMPARE(t.toolbox()->windowTitle(), QStringLiteral("Toolbox"));
    }
    removeAll();

    // German in Austria finds the German catalogue in the second folder; what it does not
    // translate stays English.
    const QStringList german =
        installTranslations(*qApp, QLocale(QLocale::German, QLocale::Austria), folders);
    QVERIFY2(ours(german) == 1 && german.contains(dir + QStringLiteral("/scrawlix_de.qm")),
             qPrintable(german.join(' ')));
    {
        StartedProgram t;
        QCOMPARE(t.toolbox()->windowTitle(), QStringLiteral("Werkzeugkasten"));
        QCOMPARE(named<ComboList>(t.toolbox(), "cboColor")->itemText(0), QStringLiteral("Schwarz"));
        QCOMPARE(named<ComboList>(t.toolbox(), "cboColor")->itemText(1), QStringLiteral("White"));
    }
    removeAll();
    QCOMPARE(QCoreApplication::translate("FrmToolbox", "Toolbox"), QStringLiteral("Toolbox"));
#else
    QSKIP("no catalogue: lrelease was not found at build time");
#endif
}

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
