// Starting with the system: the autostart entry in the first $XDG_CONFIG_DIRS directory, the
// quoting of its Exec line, hiding it, and a folder out of reach.

#include "platform/xdg/xdgautostart.h"

#include <QtTest>

#include <unistd.h>

using Result = StartupEntry::Result;

class TestAutostart : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { qputenv("XDG_CONFIG_DIRS", saved_); }
    void folderIsFirstAbsoluteConfigDir();
    void addAndRemove_data();
    void addAndRemove();
    void unreachableFolderIsCannotAccess_data();
    void unreachableFolderIsCannotAccess();

private:
    // The first of two directories, with a space in its name as an installation folder may have.
    QString first() const { return dirs_->filePath(QStringLiteral("first dir")); }
    QString entry() const { return first() + QStringLiteral("/autostart/Scrawlix.desktop"); }
    // The entry's lines that match the pattern from their start.
    QStringList lines(const QString& pattern) const
    {
        QFile f(entry());
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll()).split('\n').filter(QRegularExpression('^' + pattern));
    }
    std::unique_ptr<QTemporaryDir> dirs_;
    QByteArray saved_ = qgetenv("XDG_CONFIG_DIRS");
};

void TestAutostart::init()
{
    dirs_ = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(first() + QStringLiteral("/autostart")));
    qputenv("XDG_CONFIG_DIRS", (first() + QStringLiteral(":/second dir")).toUtf8());
}

void TestAutostart::folderIsFirstAbsoluteConfigDir()
{
    QCOMPARE(XdgAutostartEntry::entryPath(QString()), QStringLiteral("/etc/xdg/autostart/Scrawlix.desktop"));
    QCOMPARE(XdgAutostartEntry::autostartFolder(QStringLiteral(":xdg:/b:/c")), QStringLiteral("/b/autostart"));
    QCOMPARE(XdgAutostartEntry::autostartFolder(QStringLiteral("xdg")), QStringLiteral("/etc/xdg/autostart"));
}

void TestAutostart::addAndRemove_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("exec");
    QTest::newRow("spaces") << "/Program Files/My Tools/scrawlix" << R"("/Program Files/My Tools/scrawlix")";
    QTest::newRow("quote, backslash, dollar, backquote")
        << R"(/opt/a"b\c$d`e/scrawlix)" << R"("/opt/a\\"b\\\\c\\$d\\`e/scrawlix")";
    QTest::newRow("percent, tab, newline") << "/opt/100%\tb\nc/scrawlix" << R"("/opt/100%%\tb\nc/scrawlix")";
}

void TestAutostart::addAndRemove()
{
    QFETCH(QString, path);
    QFETCH(QString, exec);
    // No entry yet: Remove writes a hidden one for this program.
    XdgAutostartEntry e;
    QCOMPARE(e.Remove(), Result::Ok);
    QCOMPARE(lines(QStringLiteral("Exec=|Hidden=")),
             QStringList({"Exec=\"" + QCoreApplication::applicationFilePath() + '"', "Hidden=true"}));
    // Add replaces it, however often.
    QCOMPARE(e.Add(path), Result::Ok);
    QCOMPARE(e.Add(path), Result::Ok);
    QCOMPARE(lines(QStringLiteral("\\[|Type=|Exec=|Hidden=")),
             QStringList({"[Desktop Entry]", "Type=Application", "Exec=" + exec}));
    // Removed twice: kept, with one Hidden=true. Added again: starts again.
    QCOMPARE(e.Remove(), Result::Ok);
    QCOMPARE(e.Remove(), Result::Ok);
    QCOMPARE(lines(QStringLiteral("Exec=|Hidden=")), QStringList({"Exec=" + exec, "Hidden=true"}));
    QCOMPARE(e.Add(path), Result::Ok);
    QVERIFY(lines(QStringLiteral("Hidden=")).isEmpty());
}

void TestAutostart::unreachableFolderIsCannotAccess_data()
{
    QTest::addColumn<QString>("blocked");
    QTest::newRow("missing") << "missing";
    QTest::newRow("a file in the folder's place") << "file";
    QTest::newRow("not writable") << "read-only";
}

void TestAutostart::unreachableFolderIsCannotAccess()
{
    QFETCH(QString, blocked);
    if (blocked == QLatin1String("read-only") && ::geteuid() == 0)
        QSKIP("the administrator may write anywhere");
    const QString folder = first() + QStringLiteral("/autostart");
    QVERIFY(QDir(folder).removeRecursively());
    if (blocked == QLatin1String("file"))
        QVERIFY(QFile(folder).open(QIODevice::WriteOnly));
    else if (blocked == QLatin1String("read-only"))
        QVERIFY(QDir().mkdir(folder) && QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    XdgAutostartEntry e;
    QCOMPARE(e.Add(QStringLiteral("/Tools/Scrawlix")), Result::CannotAccess);
    QCOMPARE(e.Remove(), Result::CannotAccess);
    QVERIFY(!QFileInfo(entry()).isFile());
    QCOMPARE(QFileInfo::exists(folder), blocked != QLatin1String("missing")); // never created
}

QTEST_MAIN(TestAutostart)
#include "tst_autostart.moc"
