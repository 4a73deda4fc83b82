// Starting with the system: the autostart entry in the first $XDG_CONFIG_DIRS directory, the
// quoting of its Exec line, and the error box of AddToStartup and RemoveFromStartup.

#include "platform/xdg/xdgautostart.h"
#include "settings/runonstartup.h"
#include "testprogram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

// An Exec value read back as a desktop reads it: string escapes, then quoting, then "%%".
QStringList execArguments(const QString& value)
{
    QString s;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            s += value[i];
            continue;
        }
        const QChar e = value[++i];
        const int k = QStringLiteral("sntr").indexOf(e);
        s += k < 0 ? e : QStringLiteral(" \n\t\r")[k];
    }
    QStringList args;
    QString current;
    bool quoted = false;
    bool have = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (quoted && c == QLatin1Char('\\') && i + 1 < s.size() &&
            QStringLiteral("\"`$\\").contains(s[i + 1])) {
            current += s[++i];
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            have = true;
        } else if (!quoted && c == QLatin1Char(' ')) {
            if (have)
                args << current;
            current.clear();
            have = false;
        } else {
            current += c;
            have = true;
        }
    }
    if (have)
        args << current;
    for (QString& a : args)
        a.replace(QLatin1String("%%"), QLatin1String("%"));
    return args;
}

QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The values of key in the [Desktop Entry] group, in file order.
QStringList entryValues(const QString& text, const QString& key)
{
    QStringList values;
    bool inGroup = false;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        const int eq = t.indexOf(QLatin1Char('='));
        if (t.startsWith(QLatin1Char('[')))
            inGroup = t == QLatin1String("[Desktop Entry]");
        else if (inGroup && eq > 0 && t.left(eq).trimmed() == key)
            values << t.mid(eq + 1).trimmed();
    }
    return values;
}

} // namespace

class TestAutostart : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void folderIsFirstAbsoluteConfigDir();
    void execLineReadsBackAsThePath_data();
    void execLineReadsBackAsThePath();
    void addThenRemoveKeepsOneEntry();
    void unreachableFolderIsCannotAccess();
    void routinesTellTheUserOncePerCall();

private:
    QString first() const { return dirs_->filePath(QStringLiteral("first dir")); }
    QString second() const { return dirs_->filePath(QStringLiteral("second")); }
    QString entry() const { return first() + QStringLiteral("/autostart/Scrawlix.desktop"); }
    std::unique_ptr<QTemporaryDir> dirs_;
    QByteArray saved_;
};

void TestAutostart::init()
{
    saved_ = qgetenv("XDG_CONFIG_DIRS");
    dirs_ = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(first() + QStringLiteral("/autostart")));
    QVERIFY(QDir().mkpath(second() + QStringLiteral("/autostart")));
    qputenv("XDG_CONFIG_DIRS", (first() + QLatin1Char(':') + second()).toUtf8());
}

void TestAutostart::cleanup()
{
    qputenv("XDG_CONFIG_DIRS", saved_);
    QFile::setPermissions(first() + QStringLiteral("/autostart"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    dirs_.reset();
}

void TestAutostart::folderIsFirstAbsoluteConfigDir()
{
    QCOMPARE(XdgAutostartEntry::entryPath(QString()), QStringLiteral("/etc/xdg/autostart/Scrawlix.desktop"));
    QCOMPARE(XdgAutostartEntry::autostartFolder(QStringLiteral("/a/:/b")), QStringLiteral("/a/autostart"));
    QCOMPARE(XdgAutostartEntry::autostartFolder(QStringLiteral(":xdg:/b")), QStringLiteral("/b/autostart"));
    QCOMPARE(XdgAutostartEntry::autostartFolder(QStringLiteral("xdg")), QStringLiteral("/etc/xdg/autostart"));
}

void TestAutostart::execLineReadsBackAsThePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("value"); // empty: only the read-back is checked
    QTest::newRow("plain") << "/Tools/Scrawlix" << "\"/Tools/Scrawlix\"";
    QTest::newRow("spaces kept as they are")
        << "/Program Files/My Tools/scrawlix" << "\"/Program Files/My Tools/scrawlix\"";
    QTest::newRow("double quote") << "/opt/a\"b/scrawlix" << "\"/opt/a\\\\\"b/scrawlix\"";
    QTest::newRow("backslash") << "/opt/a\\b/scrawlix" << "\"/opt/a\\\\\\\\b/scrawlix\"";
    QTest::newRow("percent") << "/opt/100%/scrawlix" << "\"/opt/100%%/scrawlix\"";
    QTest::newRow("shell characters") << "/opt/a;b&c|d<e>f(g)$h`i`*?#~'/scrawlix" << "";
    QTest::newRow("tab and newline") << "/opt/a\tb\nc/scrawlix" << "";
}

void TestAutostart::execLineReadsBackAsThePath()
{
    QFETCH(QString, path);
    QFETCH(QString, value);
    XdgAutostartEntry e;
    QCOMPARE(e.Add(path), StartupEntry::Result::Ok);
    const QStringList exec = entryValues(readFile(entry()), QStringLiteral("Exec"));
    QCOMPARE(exec.size(), 1);
    if (!value.isEmpty())
        QCOMPARE(exec[0], value);
    QCOMPARE(execArguments(exec[0]), QStringList{path});
}

void TestAutostart::addThenRemoveKeepsOneEntry()
{
    XdgAutostartEntry e;
    QCOMPARE(e.Add(QStringLiteral("/Tools/Scrawlix")), StartupEntry::Result::Ok);
    QCOMPARE(e.Add(QStringLiteral("/Tools/Scrawlix")), StartupEntry::Result::Ok);
    QString text = readFile(entry());
    QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    QCOMPARE(entryValues(text, QStringLiteral("Type")), QStringList{"Application"});
    QCOMPARE(entryValues(text, QStringLiteral("Exec")).size(), 1);
    QVERIFY(entryValues(text, QStringLiteral("Hidden")).isEmpty());
    QVERIFY(!QFile::exists(second() + QStringLiteral("/autostart/Scrawlix.desktop")));

    // Removed twice: kept, with one Hidden=true. Added again: starts again.
    QCOMPARE(e.Remove(), StartupEntry::Result::Ok);
    QCOMPARE(e.Remove(), StartupEntry::Result::Ok);
    text = readFile(entry());
    QCOMPARE(entryValues(text, QStringLiteral("Hidden")), QStringList{"true"});
    QCOMPARE(execArguments(entryValues(text, QStringLiteral("Exec")).value(0)), QStringList{"/Tools/Scrawlix"});
    QCOMPARE(e.Add(QStringLiteral("/Tools/Scrawlix")), StartupEntry::Result::Ok);
    QVERIFY(entryValues(readFile(entry()), QStringLiteral("Hidden")).isEmpty());

    // An entry someone edited keeps their lines; only the main group's Hidden changes.
    const QByteArray edited = "# Installed by the administrator\n[Desktop Entry]\nType=Application\n"
                              "Exec=\"/usr/local/bin/scrawlix\"\nHidden = false\nX-Delay=5\n\n"
                              "[Desktop Action other]\nHidden=false\n";
    QFile f(entry());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(edited);
    f.close();
    QCOMPARE(e.Remove(), StartupEntry::Result::Ok);
    QCOMPARE(readFile(entry()), QString::fromUtf8(edited).replace(QStringLiteral("Hidden = false\nX"),
                                                                   QStringLiteral("Hidden=true\nX")));

    // No entry yet: a hidden one for this program is written.
    QVERIFY(QFile::remove(entry()));
    QCOMPARE(e.Remove(), StartupEntry::Result::Ok);
    text = readFile(entry());
    QCOMPARE(entryValues(text, QStringLiteral("Hidden")), QStringList{"true"});
    QCOMPARE(execArguments(entryValues(text, QStringLiteral("Exec")).value(0)),
             QStringList{QCoreApplication::applicationFilePath()});
}

void TestAutostart::unreachableFolderIsCannotAccess()
{
    XdgAutostartEntry e;
    const QString folder = first() + QStringLiteral("/autostart");
    auto bothFail = [&] {
        return e.Add(QStringLiteral("/Tools/Scrawlix")) == StartupEntry::Result::CannotAccess &&
               e.Remove() == StartupEntry::Result::CannotAccess;
    };
    QVERIFY(QDir(folder).removeRecursively()); // missing: and not created
    QVERIFY(bothFail());
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(!QFile::exists(second() + QStringLiteral("/autostart/Scrawlix.desktop")));
    QFile blocker(folder); // a file where the folder should be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(bothFail());
    QVERIFY(QFile::remove(folder));
    QVERIFY(QDir().mkpath(entry())); // a folder where the entry should be
    QVERIFY(bothFail());
    QVERIFY(QDir(entry()).removeRecursively());

    // Not writable; only for an ordinary user, since the administrator may write anywhere.
    if (::geteuid() != 0) {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(bothFail());
        QVERIFY(!QFile::exists(entry()));
    }
}

void TestAutostart::routinesTellTheUserOncePerCall()
{
    TestProgram t;
    FakeStartupEntry& entryFake = *t.fake->fakeStartup;
    auto& shown = t.fake->fakeMessages->shown;
    AddToStartup(*t);
    RemoveFromStartup(*t);
    QCOMPARE(entryFake.calls, QStringList({QStringLiteral("add ") + QCoreApplication::applicationFilePath(),
                                           QStringLiteral("remove")}));
    QVERIFY(shown.isEmpty());

    entryFake.result = StartupEntry::Result::CannotAccess;
    AddToStartup(*t);
    RemoveFromStartup(*t);
    QCOMPARE(shown.size(), 2);
    for (const auto& box : shown) {
        QCOMPARE(box.text, QStringLiteral("Error.  Cannot Access The Subkey."));
        QCOMPARE(box.title, QStringLiteral("Error"));
        QCOMPARE(box.style, 16);
    }
}

QTEST_MAIN(TestAutostart)
#include "tst_autostart.moc"
