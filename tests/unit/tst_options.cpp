// The options dialog on its own: what it shows, what OK saves and when, that Cancel and the close
// box save nothing, that OK tells when the settings file is out of reach, the hot-key letter it
// reports, and that its texts fit. The About box: the modal box asked for while the toolbox's box
// is open, its texts, and its link.

#include "about/frmabout.h"
#include "about/webaddress.h"
#include "canvas/cmdlg.h"
#include "canvas/colortable.h"
#include "fake/fakeplatform.h"
#include "settings/dialogfont.h"
#include "settings/frmoptions.h"
#include "settings/settingsstore.h"
#include "shell/commands.h"
#include "testprogram.h"
#include "ui/widgets.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The keys the dialog saves, with their values, as one line.
QString snapshot(const QString& path)
{
    auto store = SettingsStore::atFile(path);
    QStringList s;
    for (const Setting* k : {&setting.HotKey, &setting.PenSize, &setting.Tool, &setting.CustomColor,
                             &setting.PenColor, &setting.Font, &setting.RunOnStartup})
        s << k->key + QLatin1Char('=') + store->read(k->key);
    return s.join(QLatin1Char(' '));
}

// The message boxes shown, "text|title|style" each.
QStringList boxes(const RecordingMessageBoxes& messages)
{
    QStringList out;
    for (const auto& box : messages.shown)
        out << box.text + '|' + box.title + '|' + QString::number(box.style);
    return out;
}

// Fixed in size, and no text is cut off, whatever the desktop's font.
void fixedAndFits(QWidget* form)
{
    QCOMPARE(form->minimumSize(), form->maximumSize());
    for (QWidget* widget : form->findChildren<QWidget*>())
        QVERIFY2(textFits(widget, widget->font()), qPrintable(widget->objectName()));
}

// The fake start-up entry, noting what the store held at each call.
struct SnapshotStartup : FakeStartupEntry {
    QString file;
    QStringList seen;
    Result Add(const QString& p) override { seen << snapshot(file); return FakeStartupEntry::Add(p); }
    Result Remove() override { seen << snapshot(file); return FakeStartupEntry::Remove(); }
};

// The options dialog on its own, on the fake platform's services and a settings file of its own:
// no program, no canvas, no toolbox.
struct OptionsDialog {
    QTemporaryDir dir;
    FakePlatform fake;
    SnapshotStartup* startup = new SnapshotStartup;
    std::unique_ptr<SettingsStore> store;
    Cmdlg cmdlg{*fake.dialogs};
    std::unique_ptr<FrmOptions> d;
    QStringList letters; // hot-key letters reported by OK
    int unloads = 0;     // requests to close the dialog

    // prepare(dir) may put something in the settings file's way first.
    explicit OptionsDialog(const QString& runOnStartup = QString(),
                           const std::function<void(const QTemporaryDir&)>& prepare = {})
    {
        if (prepare)
            prepare(dir);
        store = SettingsStore::atFile(settingsPath());
        store->save(setting.PenColor.key, QStringLiteral("16"));
        store->save(setting.CustomColor.key, QStringLiteral("12345"));
        if (!runOnStartup.isEmpty())
            store->save(setting.RunOnStartup.key, runOnStartup);
        startup->file = settingsPath();
        fake.startup.reset(fake.fakeStartup = startup);
        d = std::make_unique<FrmOptions>(*store, cmdlg, *fake.startup, *fake.messages, *fake.hotKeys);
        QObject::connect(d.get(), &FrmOptions::hotKeyChosen, [this](const QString& l) { letters << l; });
        QObject::connect(d.get(), &FrmOptions::unloadRequested, [this] { ++unloads; });
        d->Form_Load();
        d->show();
    }
    QString settingsPath() const { return dir.filePath(QStringLiteral("Scrawlix/Scrawlix.conf")); }
};

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void savesOnOkOnly_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("color");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("typed"); // into the hot-key box, which keeps one character
        QTest::newRow("OK, Custom ..., checked, no letter") << "OK" << CustomColorIndex << true << true << "";
        QTest::newRow("OK, unreachable, unchecked") << "OK" << 4 << false << false << "qx";
        QTest::newRow("Cancel") << "Cancel" << CustomColorIndex << true << true << "qx";
        QTest::newRow("close box") << "close" << 4 << true << true << "qx";
    }

    void savesOnOkOnly()
    {
        QFETCH(QString, button);
        QFETCH(int, color);
        QFETCH(bool, checked);
        QFETCH(bool, reachable);
        QFETCH(QString, typed);
        const bool ok = button == QLatin1String("OK");
        // RunOnStartup as stored: the opposite of the new choice, or never written.
        OptionsDialog t(!ok ? QString() : checked ? QStringLiteral("0") : QStringLiteral("1"));
        t.startup->result = reachable ? StartupEntry::Result::Ok : StartupEntry::Result::CannotAccess;
        t.fake.fakeDialogs->colorAnswers.push_back(QColor(10, 20, 30)); // 1971210
        const QString before = snapshot(t.settingsPath());

        // What is stored shows.
        FrmOptions* d = t.d.get();
        QCOMPARE(named<ComboList>(d, "cboDefaultPenColor")->currentText(), QStringLiteral("Maroon"));
        QCOMPARE(named<QCheckBox>(d, "chkRunOnStartup")->isChecked(), ok && !checked);

        named<QLineEdit>(d, "txtHotKeyLetter")->clear();
        QTest::keyClicks(named<QLineEdit>(d, "txtHotKeyLetter"), typed);
        named<ComboList>(d, "cboDefaultTool")->setListIndex(3);
        named<ComboList>(d, "cboDefaultPenColor")->setListIndex(CustomColorIndex); // asks for the colour
        if (color != CustomColorIndex)
            named<ComboList>(d, "cboDefaultPenColor")->setListIndex(color);
        named<ComboList>(d, "cboDefaultPenSize")->setListIndex(9);
        named<ComboList>(d, "cboDefaultFont")->setListIndex(1);
        named<QCheckBox>(d, "chkRunOnStartup")->setChecked(checked);
        // Neither Enter nor Esc is a button of this dialog.
        QTest::keyClick(d, Qt::Key_Escape);
        QTest::keyClick(d, Qt::Key_Return);
        QSignalSpy closed(d, &FrmOptions::closed);
        if (button == QLatin1String("close"))
            QVERIFY(d->close());
        else
            (ok ? named<QPushButton>(d, "cmdOK") : named<QPushButton>(d, "cmdCancel"))->click();
        // The close box reports the close; OK and Cancel ask to be closed.
        QCOMPARE(closed.size(), button == QLatin1String("close") ? 1 : 0);
        QCOMPARE(t.unloads, button == QLatin1String("close") ? 0 : 1);
        if (!ok) {
            QCOMPARE(snapshot(t.settingsPath()), before);
            QVERIFY(t.startup->calls.isEmpty());
            QVERIFY(t.letters.isEmpty());
            return;
        }

        // CustomColor only for "Custom ...". Every key is written before the start-up entry is
        // touched, RunOnStartup after it, even when the entry is out of reach.
        const QString written = QStringLiteral("HotKey=%1 PenSize=10 Tool=3 CustomColor=%2 PenColor=%3 Font=1 ")
                                    .arg(typed.left(1))
                                    .arg(color == CustomColorIndex ? 1971210 : 12345)
                                    .arg(color);
        QCOMPARE(t.startup->seen, QStringList{written + (checked ? "RunOnStartup=0" : "RunOnStartup=1")});
        QCOMPARE(snapshot(t.settingsPath()), written + (checked ? "RunOnStartup=1" : "RunOnStartup=0"));
        const QString call = checked ? "add " + QCoreApplication::applicationFilePath() : QStringLiteral("remove");
        QCOMPARE(t.startup->calls, QStringList{call});
        QCOMPARE(boxes(*t.fake.fakeMessages),
                 reachable ? QStringList() : QStringList{"Error.  Cannot Access The Subkey.|Error|16"});

        // The letter saved is reported, so that it counts at once.
        QCOMPARE(t.letters, QStringList{typed.left(1)});
    }

    void settingsOutOfReachAreTold_data()
    {
        QTest::addColumn<QString>("blocked");
        QTest::newRow("a file where its folder would be") << "file";
        QTest::newRow("a link to another user's file") << "other user";
    }

    void settingsOutOfReachAreTold()
    {
    #if !defined(Q_OS_UNIX)
        QSKIP("the settings live in the registry");
    #else
        QFETCH(QString, blocked);
        if (blocked == QLatin1String("other user") && ::geteuid() != 0)
            QSKIP("only the administrator can give a file to another user");
        const QByteArray theirs("[Settings]\nHotKey=Q\n");
        QString others;
        OptionsDialog t(QString(), [&](const QTemporaryDir& dir) {
            const QString folder = dir.filePath(QStringLiteral("Scrawlix"));
            others = dir.filePath(QStringLiteral("others.conf"));
            if (blocked == QLatin1String("file")) {
                QVERIFY(writeFile(folder, {}));
            } else {
                QVERIFY(QDir().mkdir(folder) && writeFile(others, theirs));
                QVERIFY(::chown(QFile::encodeName(others).constData(), 65534, 65534) == 0);
                QVERIFY(QFile::link(others, folder + QStringLiteral("/Scrawlix.conf")));
            }
        });
        named<QLineEdit>(t.d.get(), "txtHotKeyLetter")->setText(QStringLiteral("K"));
        named<QPushButton>(t.d.get(), "cmdOK")->click();

        // Told once, as an autostart entry out of reach is; the dialog closes all the same, and the
        // new letter counts for this run.
        QCOMPARE(boxes(*t.fake.fakeMessages), QStringList{"The settings could not be saved in\n" + t.settingsPath() +
                                                          "\n\nThey last until Scrawlix ends.|Error|16"});
        QCOMPARE(t.unloads, 1);
        QCOMPARE(t.letters, QStringList{QStringLiteral("K")});
        QCOMPARE(t.store->read(setting.HotKey.key), QStringLiteral("K"));
        // Another user's file is neither changed nor taken over.
        if (blocked == QLatin1String("other user")) {
            QFile f(others);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), theirs);
            QCOMPARE(QFileInfo(others).ownerId(), 65534u);
        }
    #endif
    }

    void hotKeyLetterNoKeyTypes()
    {
        // Refused with a message: nothing saved, no letter reported, the dialog stays.
        OptionsDialog t;
        named<QLineEdit>(t.d.get(), "txtHotKeyLetter")->setText(QStringLiteral("\u00e9"));
        named<QPushButton>(t.d.get(), "cmdOK")->click();
        QCOMPARE(t.unloads, 0);
        QVERIFY(t.letters.isEmpty());
        const auto& shown = t.fake.fakeMessages->shown;
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.contains(QStringLiteral("No key on this keyboard types \"\u00e9\"")),
                 qPrintable(shown[0].text));
        QCOMPARE(shown[0].style, 48);
        QCOMPARE(snapshot(t.settingsPath()),
                 QStringLiteral("HotKey= PenSize= Tool= CustomColor=12345 PenColor=16 Font= RunOnStartup="));

        // A punctuation key that the keyboard has is taken.
        named<QLineEdit>(t.d.get(), "txtHotKeyLetter")->setText(QStringLiteral("/"));
        named<QPushButton>(t.d.get(), "cmdOK")->click();
        QCOMPARE(t.unloads, 1);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(t.letters, QStringList{QStringLiteral("/")});
    }

    void layoutAt96Dpi() { fixedAndFits(OptionsDialog().d.get()); }

    void aboutBox()
    {
        // The tray's About opens a modal box; while the toolbox's box is open, it brings that one up
        // instead of a modal one.
        StartedProgram t;
        const auto about = [&](bool modal) -> FrmAbout* {
            for (QWidget* w : t->loadedForms())
                if (auto* a = qobject_cast<FrmAbout*>(w); a && a->isModal() == modal)
                    return a;
            return nullptr;
        };
        const auto showModal = [&] {
            QString caption;
            QTimer::singleShot(0, t.canvas(), [&] {
                if (FrmAbout* a = about(true)) {
                    caption = a->windowTitle();
                    named<QPushButton>(a, "cmdOK")->click();
                }
            });
            ShowAbout(*t);
            QTest::qWait(10);
            return caption;
        };
        QVERIFY(!showModal().isEmpty());
        QVERIFY(!about(false));
        ShowAboutModeless(*t);
        FrmAbout* a = about(false);
        QVERIFY(a && a->isVisible());
        QCOMPARE(showModal(), QString());
        QCOMPARE(about(false), a);

        fixedAndFits(a);

        // The link opens the page and closes the box, whether or not a browser started.
        t.fake->fakeShell->succeed = false;
        QTest::mouseClick(named(a, "lblWebAddress"), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(t.fake->fakeShell->opened, QStringList{ProductWebAddress});
        QVERIFY(!about(false));
        QVERIFY(t.fake->fakeMessages->shown.isEmpty());
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
