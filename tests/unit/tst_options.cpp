// The options dialog: what it loads, what OK saves and when, what Cancel, the close box and exit
// leave alone, the hot key it registers, and its layout at 96 dpi.

#include "canvas/colortable.h"
#include "settings/dialogfont.h"
#include "settings/frmoptions.h"
#include "shell/commands.h"
#include "shell/frmmain.h"
#include "testprogram.h"
#include "toolbox/frmtoolbox.h"
#include "toolbox/widgets.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QtTest>

namespace {

using Snapshot = QMap<QString, QString>; // the keys present in the store, with their values

Snapshot snapshot(const QString& path)
{
    auto store = SettingsStore::atFile(path);
    Snapshot s;
    for (const QString& k : {keys::PenSize, keys::PenColor, keys::Font, keys::Tool, keys::Fill,
                             keys::HotKey, keys::CustomColor, keys::RunOnStartup}) {
        if (!store->read(k).isEmpty())
            s.insert(k, store->read(k));
    }
    return s;
}

// A start-up entry that notes what the store held when it was called.
class SnapshotStartup : public StartupEntry
{
public:
    explicit SnapshotStartup(QString path) : path_(std::move(path)) {}
    Result Add(const QString& programPath) override { return note(QStringLiteral("add ") + programPath); }
    Result Remove() override { return note(QStringLiteral("remove")); }
    QStringList calls;
    QList<Snapshot> seen;
    Result result = Result::Ok;

private:
    Result note(const QString& call)
    {
        calls << call;
        seen << snapshot(path_);
        return result;
    }
    QString path_;
};

struct OptionsProgram : TestProgram {
    SnapshotStartup* startup;

    template <typename Preset>
    explicit OptionsProgram(Preset preset) : TestProgram(preset)
    {
        auto s = std::make_unique<SnapshotStartup>(settingsPath());
        startup = s.get();
        program->platform().startup = std::move(s);
        program->captureWait = [] {};
        program->start();
    }
    OptionsProgram() : OptionsProgram([](SettingsStore&) {}) {}

    FrmOptions* open()
    {
        ShowOptions(*program);
        for (QWidget* w : program->loadedForms()) {
            if (w->objectName() == QLatin1String("frmOptions"))
                return qobject_cast<FrmOptions*>(w);
        }
        return nullptr;
    }
    QString read(const QString& key) const { return reopenStore()->read(key); }
    const QList<FakeHotKeys::Registration>& registrations() const { return fake->fakeHotKeys->registrations; }
};

QStringList items(const QComboBox* c)
{
    QStringList l;
    for (int i = 0; i < c->count(); ++i)
        l << c->itemText(i);
    return l;
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadShowsTheStoreInTheToolboxLists();
    void okWritesTheKeysInOrder();
    void customColorAndRunOnStartup();
    void lowerCaseLetterRegistersUpperCaseCode();
    void cancelCloseBoxAndExitWriteNothing_data();
    void cancelCloseBoxAndExitWriteNothing();
    void layoutAt96Dpi();
};

void TestOptions::loadShowsTheStoreInTheToolboxLists()
{
    OptionsProgram t([](SettingsStore& s) {
        s.save(keys::PenSize, QStringLiteral("40"));
        s.save(keys::PenColor, QStringLiteral("16"));
        s.save(keys::Font, QStringLiteral("1"));
        s.save(keys::Tool, QStringLiteral("3"));
        s.save(keys::HotKey, QStringLiteral("k"));
        s.save(keys::RunOnStartup, QStringLiteral("1"));
    });
    FrmOptions* d = t.open();
    FrmToolbox* tb = t->frmToolbox();
    QCOMPARE(items(d->cboDefaultPenColor), items(tb->cboColor));
    QCOMPARE(items(d->cboDefaultPenSize), items(tb->cboSize));
    QCOMPARE(items(d->cboDefaultFont), items(tb->cboTextFont));
    QCOMPARE(d->txtHotKeyLetter->text(), QStringLiteral("k"));
    QCOMPARE(d->cboDefaultPenSize->currentText(), QStringLiteral("40"));
    QCOMPARE(d->cboDefaultPenColor->currentText(), QStringLiteral("Maroon"));
    QCOMPARE(d->cboDefaultFont->currentText(), tb->cboTextFont->itemText(1));
    QCOMPARE(d->cboDefaultTool->currentText(), QStringLiteral("Line"));
    QCOMPARE(d->chkRunOnStartup->checkState(), Qt::Checked);

    // Asked again while open: the same dialog, edits kept.
    d->txtHotKeyLetter->setText(QStringLiteral("B"));
    QCOMPARE(t.open(), d);
    QCOMPARE(d->txtHotKeyLetter->text(), QStringLiteral("B"));

    // A first opening, before RunOnStartup was ever written, shows the box unchecked.
    OptionsProgram fresh;
    QCOMPARE(fresh.open()->chkRunOnStartup->checkState(), Qt::Unchecked);
}

void TestOptions::okWritesTheKeysInOrder()
{
    OptionsProgram t;
    Snapshot expected = snapshot(t.settingsPath());
    const int registered = t.registrations().size();
    t.open()->cmdOK->click();

    // The six keys are written before the start-up entry is touched, RunOnStartup after it.
    QCOMPARE(t.startup->calls, QStringList{"remove"});
    QCOMPARE(t.startup->seen.value(0), expected);
    expected.insert(keys::RunOnStartup, QStringLiteral("0"));
    QCOMPARE(snapshot(t.settingsPath()), expected);
    QVERIFY(!IsFormLoaded(*t, QStringLiteral("frmOptions")));

    // The hot key again, for the canvas, which was unhooked before it was hooked again: a message
    // reaches the original window procedure exactly once.
    QCOMPARE(t.registrations().size(), registered + 1);
    const FakeHotKeys::Registration r = t.registrations().last();
    const auto canvas = static_cast<quintptr>(t->frmMain()->winId());
    QCOMPARE(r.hwnd, canvas);
    QCOMPARE(r.id, 1);
    QCOMPARE(r.modifiers, quint32(8));
    QCOMPARE(r.vk, quint32('V'));
    const int before = t.fake->fakeHotKeys->defaultProcMessages.size();
    t.fake->fakeHotKeys->send(canvas, 0x0001, 0, 0);
    QCOMPARE(t.fake->fakeHotKeys->defaultProcMessages.size(), before + 1);
}

void TestOptions::customColorAndRunOnStartup()
{
    OptionsProgram t([](SettingsStore& s) { s.save(keys::CustomColor, QStringLiteral("12345")); });
    auto& dialogs = *t.fake->fakeDialogs;
    auto& shown = t.fake->fakeMessages->shown;

    // Another colour leaves CustomColor alone; checked registers the program.
    FrmOptions* d = t.open();
    d->cboDefaultPenColor->setListIndex(4);
    d->chkRunOnStartup->setChecked(true);
    d->cmdOK->click();
    QCOMPARE(t.read(keys::CustomColor), QStringLiteral("12345"));
    QCOMPARE(t.read(keys::PenColor), QStringLiteral("4"));
    QCOMPARE(t.startup->calls.last(), QStringLiteral("add ") + QCoreApplication::applicationFilePath());
    QCOMPARE(t.read(keys::RunOnStartup), QStringLiteral("1"));
    QVERIFY(dialogs.asked.isEmpty());

    // "Custom ..." asks for the colour, and OK saves it before the position. An entry out of
    // reach is reported, and RunOnStartup is saved all the same.
    t.startup->result = StartupEntry::Result::CannotAccess;
    dialogs.colorAnswers.push_back(QColor(10, 20, 30));
    d = t.open();
    d->cboDefaultPenColor->setListIndex(CustomColorIndex);
    QCOMPARE(dialogs.asked.size(), 1);
    QCOMPARE(dialogs.asked[0].title, QStringLiteral("Select Custom Color"));
    d->chkRunOnStartup->setChecked(false);
    d->cmdOK->click();
    QCOMPARE(t.startup->seen.last().value(keys::CustomColor), QString::number(0x1E140A));
    QCOMPARE(t.read(keys::PenColor), QStringLiteral("20"));
    QCOMPARE(t->colorTable[CustomColorIndex], QStringLiteral("0")); // drawing colours untouched
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text, QStringLiteral("Error.  Cannot Access The Subkey."));
    QCOMPARE(shown[0].title, QStringLiteral("Error"));
    QCOMPARE(shown[0].style, 16);
    QCOMPARE(t.read(keys::RunOnStartup), QStringLiteral("0"));

    // A stored "Custom ..." asks again on opening; cancelled, it keeps the last colour.
    d = t.open();
    QCOMPARE(dialogs.asked.size(), 2);
    QCOMPARE(d->txtcustomcolor->text(), QString::number(0x1E140A));
}

void TestOptions::lowerCaseLetterRegistersUpperCaseCode()
{
    OptionsProgram t;
    FrmOptions* d = t.open();
    d->txtHotKeyLetter->clear();
    QTest::keyClicks(d->txtHotKeyLetter, QStringLiteral("qx"));
    d->cmdOK->click();
    QCOMPARE(t.read(keys::HotKey), QStringLiteral("q")); // one character at most
    QCOMPARE(t.registrations().last().vk, quint32(0x51));
    // The old combination stays registered but captures no more; the new one does.
    QVERIFY(t.fake->fakeHotKeys->press(8, 'V'));
    QVERIFY(!t->frmMain()->isVisible());
    QVERIFY(t.fake->fakeHotKeys->press(8, 0x51));
    QVERIFY(t->frmMain()->isVisible());

    // An empty letter is saved as it is and registers nothing, without complaint.
    const int registered = t.registrations().size();
    d = t.open();
    d->txtHotKeyLetter->clear();
    d->cmdOK->click();
    QCOMPARE(t.read(keys::HotKey), QString());
    QCOMPARE(t.registrations().size(), registered);
    QVERIFY(t.fake->fakeMessages->shown.isEmpty());
}

void TestOptions::cancelCloseBoxAndExitWriteNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("close box") << "close";
    QTest::newRow("exit") << "exit";
}

void TestOptions::cancelCloseBoxAndExitWriteNothing()
{
    QFETCH(QString, how);
    OptionsProgram t;
    const Snapshot before = snapshot(t.settingsPath());
    const int registered = t.registrations().size();
    FrmOptions* d = t.open();
    d->txtHotKeyLetter->setText(QStringLiteral("Z"));
    d->cboDefaultTool->setListIndex(3);
    d->cboDefaultPenColor->setListIndex(CustomColorIndex);
    d->cboDefaultPenSize->setListIndex(49);
    d->cboDefaultFont->setListIndex(d->cboDefaultFont->count() - 1);
    d->chkRunOnStartup->setChecked(true);
    // Neither Enter nor Esc is a button of this dialog.
    QTest::keyClick(d, Qt::Key_Escape);
    QTest::keyClick(d, Qt::Key_Return);

    QStringList unloaded;
    t->beforeUnload = [&](const QString& name) { unloaded << name; };
    if (how == QLatin1String("cancel"))
        d->cmdCancel->click();
    else if (how == QLatin1String("close"))
        QVERIFY(d->close());
    else
        ExitProgram(*t);
    QCOMPARE(snapshot(t.settingsPath()), before);
    QVERIFY(t.startup->calls.isEmpty());
    QCOMPARE(t.registrations().size(), registered);
    QCOMPARE(unloaded.count(QStringLiteral("frmOptions")), 1);
    QVERIFY(!IsFormLoaded(*t, QStringLiteral("frmOptions")));
}

void TestOptions::layoutAt96Dpi()
{
    OptionsProgram t;
    QCOMPARE(t->twipsPerPixelX(), 15.0);
    QCOMPARE(t->twipsPerPixelY(), 15.0);
    FrmOptions* d = t.open();
    QCOMPARE(d->size(), QSize(305, 312));
    QCOMPARE(d->minimumSize(), d->maximumSize());
    QVERIFY(!(d->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    const QList<QPair<QWidget*, QRect>> expected = {
        {d->frameHotkey, {8, 0, 289, 89}},         {d->lblHotkey, {8, 16, 273, 49}},
        {d->lblHotkeyLetter, {8, 65, 41, 17}},     {d->txtHotKeyLetter, {48, 64, 17, 19}},
        {d->lblhotkeywarning, {72, 65, 209, 17}},  {d->frameToolOptions, {8, 96, 289, 113}},
        {d->lbl_defTool, {8, 19, 105, 17}},        {d->cboDefaultTool, {120, 16, 161, 21}},
        {d->lbl_defColor, {8, 42, 105, 17}},       {d->cboDefaultPenColor, {120, 40, 161, 21}},
        {d->lbl_defSize, {8, 66, 105, 17}},        {d->cboDefaultPenSize, {120, 64, 161, 21}},
        {d->lbl_defFont, {8, 90, 105, 17}},        {d->cboDefaultFont, {120, 88, 161, 21}},
        {d->Frame2, {8, 216, 289, 57}},            {d->chkRunOnStartup, {8, 16, 273, 33}},
        {d->cmdOK, {160, 280, 65, 25}},            {d->cmdCancel, {232, 280, 65, 25}},
    };
    for (const auto& [widget, rect] : expected) {
        QCOMPARE(widget->geometry(), rect);
        // No text is cut off, whatever the desktop's font.
        QVERIFY2(textFits(widget, widget->font()), qPrintable(widget->objectName()));
    }
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
