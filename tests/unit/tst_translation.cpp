// Translation: with a catalogue installed that marks every text it is asked for, the windows, the
// tray menu, the lists, the dialogs' captions, the message boxes, the notices and the command line
// show only marked texts.
#include "about/frmabout.h"
#include "settings/frmoptions.h"
#include "shell/commandline.h"
#include "shell/commands.h"
#include "shell/instancerequests.h"
#include "shell/trayicon.h"
#include "testprogram.h"
#include "ui/widgets.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QChar Open(0x00AB);  // «
const QChar Close(0x00BB); // »

// Translates every text into the text between marks, installed for as long as it lives.
struct Marking : QTranslator {
    Marking() { QCoreApplication::installTranslator(this); }
    ~Marking() override { QCoreApplication::removeTranslator(this); }
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* sourceText, const char*, int) const override
    {
        return Open + QString::fromUtf8(sourceText) + Close;
    }
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
        // The font lists hold the system's font names, which are no texts of ours.
        auto* list = qobject_cast<const QComboBox*>(w);
        if (list && list->objectName() != QLatin1String("cboTextFont") &&
            list->objectName() != QLatin1String("cboDefaultFont")) {
            for (int i = 0; i < list->count(); ++i)
                add(w, list->itemText(i));
        }
    }
    return texts;
}

// The texts that have words of their own outside the marks: they did not go through the translator.
QStringList untranslated(const QStringList& texts)
{
    QStringList found;
    for (const QString& t : texts) {
        const QString rest = unmarked(t.mid(t.indexOf(QStringLiteral(": ")) + 2));
        if (std::any_of(rest.begin(), rest.end(), [](QChar c) { return c.isLetter(); }))
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
    void everyTextGoesThroughTheTranslator()
    {
        Marking marking;
        ShownProgram t;
        ShowOptions(*t);
        ShowAboutModeless(*t);
        auto* options = loaded<FrmOptions>(*t);
        auto* about = loaded<FrmAbout>(*t);
        QVERIFY(options && about);

        // The windows and the tray menu: enough texts to mean something (the toolbox's command
        // buttons, the colours, the tools...).
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
        QVERIFY2(texts.size() > 150, qPrintable(QString::number(texts.size())));

        // A notice at the tray; the save dialog's caption and file types ("«description» (patterns)");
        // the box that says why the file was not written, with the reason from below the shell; the
        // box of Help that cannot be shown.
        SayAlreadyRunning(*t);
        t.answer(t.dir.filePath(QStringLiteral("no-such-folder/shot.bmp")));
        SaveImage(*t);
        t->helpFile = t.dir.filePath(QStringLiteral("Scrawlix_Help.chm"));
        ShowHelp(*t);
        QCOMPARE(t.notices.size(), 1);
        QCOMPARE(t.asked().size(), 1);
        QCOMPARE(t.messages().size(), 2);
        texts << QStringLiteral("notice: ") + t.notices[0] << QStringLiteral("save: ") + t.asked()[0].title;
        for (const QString& type : t.asked()[0].filter.split(QStringLiteral(";;")))
            texts << QStringLiteral("file type: ") +
                         (type.startsWith(Open) ? type.left(type.lastIndexOf(Close) + 1) : type);
        for (const RecordingMessageBoxes::Shown& box : t.messages())
            texts << QStringLiteral("box: ") + box.title << QStringLiteral("box: ") + box.text;
        QVERIFY2(t.messages()[0].text.count(Open) == 2, qPrintable(t.messages()[0].text));
        const QStringList missed = untranslated(texts);
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QLatin1Char('\n'))));

        // What is left of --help are the options' own names, the same in every language.
        const QStringList rest =
            unmarked(usageText()).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        static const QRegularExpression option(QStringLiteral("^(--?[a-z-]+,?|\\[?FILE\\]?)$"));
        for (const QString& word : rest)
            QVERIFY2(option.match(word).hasMatch(), qPrintable(word));
        QVERIFY(rest.contains(QStringLiteral("--capture-screen")));
        const CommandLine wrong = parseCommandLine({QByteArray("--no-such-option")}, QByteArray("/"));
        QCOMPARE(wrong.error, QStringLiteral("«unknown option '--no-such-option'»"));
    }
};

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
