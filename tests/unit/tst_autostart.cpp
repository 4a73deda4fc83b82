// The Linux desktop: starting with the system (the user's autostart entry under $XDG_CONFIG_HOME,
// the quoting of its Exec line, its TryExec, hiding it, a folder out of reach, something else in
// the entry's place), and finding an application for a type of file before handing a file to the
// desktop's opener.

#include "platform/xdg/xdgautostart.h"
#include "platform/xdg/xdgopen.h"

#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using Result = StartupEntry::Result;

class TestAutostart : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        dirs_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(first()));
        qputenv("XDG_CONFIG_HOME", first().toUtf8());
    }
    void cleanup() { qputenv("XDG_CONFIG_HOME", saved_); }

    void folderIsTheUsersOwn()
    {
        const QString home = QStringLiteral("/home/ann");
        QCOMPARE(XdgAutostartEntry::entryPath(QString(), home), QStringLiteral("/home/ann/.config/autostart/Scrawlix.desktop"));
        QCOMPARE(XdgAutostartEntry::autostartFolder(QStringLiteral("/cfg/"), home), QStringLiteral("/cfg/autostart"));
        QCOMPARE(XdgAutostartEntry::autostartFolder(QStringLiteral("cfg"), home), QStringLiteral("/home/ann/.config/autostart"));
    }

    // Out of the class: moc cannot read its raw strings.
    void addAndRemove_data();

    void addAndRemove()
    {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QFETCH(QString, tryExec);
        // No entry and no autostart folder yet: Remove makes the folder and writes a hidden entry.
        QVERIFY(!QFileInfo::exists(first() + QStringLiteral("/autostart")));
        XdgAutostartEntry e;
        QCOMPARE(e.Remove(), Result::Ok);
        QCOMPARE(lines(QStringLiteral("Exec=|Hidden=")),
                 QStringList({"Exec=\"" + QCoreApplication::applicationFilePath() + '"', "Hidden=true"}));
        // Add replaces it, however often. The session skips it once the program is gone.
        QCOMPARE(e.Add(path), Result::Ok);
        QCOMPARE(e.Add(path), Result::Ok);
        QCOMPARE(lines(QStringLiteral("\\[|Type=|TryExec=|Exec=|Hidden=")),
                 QStringList({"[Desktop Entry]", "Type=Application", "TryExec=" + tryExec, "Exec=" + exec}));
        // Removed twice: kept, with one Hidden=true. Added again: starts again.
        QCOMPARE(e.Remove(), Result::Ok);
        QCOMPARE(e.Remove(), Result::Ok);
        QCOMPARE(lines(QStringLiteral("Exec=|Hidden=")), QStringList({"Exec=" + exec, "Hidden=true"}));
        QCOMPARE(e.Add(path), Result::Ok);
        QVERIFY(lines(QStringLiteral("Hidden=")).isEmpty());
    }

    void unreachableEntryIsCannotAccess_data()
    {
        QTest::addColumn<QString>("blocked");
        QTest::newRow("a file in the folder's place") << "file";
        QTest::newRow("a file in its parent's place") << "parent";
        // In the entry's place: never waited on, read without end, or written through.
        QTest::newRow("a pipe") << "pipe";
        QTest::newRow("a link to an endless device") << "device";
        QTest::newRow("a file of megabytes") << "large";
        QTest::newRow("a link to another user's entry") << "other user";
    }

    void unreachableEntryIsCannotAccess()
    {
        QFETCH(QString, blocked);
        if (blocked == QLatin1String("other user") && ::geteuid() != 0)
            QSKIP("only the administrator can give a file to another user");
        const QString folder = first() + QStringLiteral("/autostart");
        const QByteArray name = QFile::encodeName(entry());
        const QString others = dirs_->filePath(QStringLiteral("others.desktop"));
        if (blocked == QLatin1String("file")) {
            QVERIFY(QFile(folder).open(QIODevice::WriteOnly));
        } else if (blocked == QLatin1String("parent")) {
            QVERIFY(QDir(first()).removeRecursively());
            QVERIFY(QFile(first()).open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkdir(folder));
            if (blocked == QLatin1String("pipe")) {
                QVERIFY(mkfifo(name.constData(), 0600) == 0);
            } else if (blocked == QLatin1String("device")) {
                // As root, a device node of the test's own, as endless as /dev/zero: an entry written
                // through the link must not replace the system's.
                QString zero = QStringLiteral("/dev/zero");
                if (::geteuid() == 0) {
                    zero = dirs_->filePath(QStringLiteral("zero"));
                    QVERIFY(::mknod(QFile::encodeName(zero).constData(), S_IFCHR | 0666, makedev(1, 5)) == 0);
                }
                QVERIFY(QFile::link(zero, entry()));
            } else if (blocked == QLatin1String("large")) {
                QFile f(entry());
                QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(4 << 20, '#')) == 4 << 20);
            } else {
                QFile f(others);
                QVERIFY(f.open(QIODevice::WriteOnly) && f.write("[Desktop Entry]\nExec=theirs\n") > 0);
                f.close();
                QVERIFY(::chown(QFile::encodeName(others).constData(), 65534, 65534) == 0);
                QVERIFY(QFile::link(others, entry()));
            }
        }
        struct stat before {};
        const bool existed = ::lstat(name.constData(), &before) == 0;
        XdgAutostartEntry e;
        // An entry that blocks or reads without end ends the test here.
        // Add would replace a file of our own whatever its size; only Remove reads it.
        alarm(20);
        if (blocked != QLatin1String("large"))
            QCOMPARE(e.Add(QStringLiteral("/Tools/Scrawlix")), Result::CannotAccess);
        QCOMPARE(e.Remove(), Result::CannotAccess);
        alarm(0);
        // Whatever was in the entry's place is still there, as it was.
        struct stat after {};
        QCOMPARE(::lstat(name.constData(), &after) == 0, existed);
        if (existed) {
            QCOMPARE(after.st_mode, before.st_mode);
            QCOMPARE(after.st_ino, before.st_ino);
            QCOMPARE(after.st_size, before.st_size);
        }
        if (blocked == QLatin1String("other user")) {
            QFile f(others);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("[Desktop Entry]\nExec=theirs\n"));
            QCOMPARE(QFileInfo(others).ownerId(), 65534u);
        }
    }

    void applicationForType_data()
    {
        // Files under the temporary directory: "config/..." and "data/..." stand for one directory of
        // each kind, "system/..." for a second data directory. The type asked for is the help file's,
        // with its alias.
        QTest::addColumn<QStringList>("files"); // path, then content, in turns
        QTest::addColumn<bool>("found");
        const QString viewer = "[Desktop Entry]\nType=Application\nExec=viewer %f\n";
        QTest::newRow("an entry for the alias, in a vendor folder")
            << QStringList{"data/applications/kde/viewer.desktop", viewer + "MimeType=application/x-chm\n"} << true;
        QTest::newRow("an entry for other types")
            << QStringList{"data/applications/viewer.desktop", viewer + "MimeType=text/plain;\n"} << false;
        QTest::newRow("a hidden entry")
            << QStringList{"data/applications/viewer.desktop", viewer + "Hidden=true\nMimeType=application/x-chm\n"} << false;
        QTest::newRow("a type only in another group")
            << QStringList{"data/applications/viewer.desktop", viewer + "[Action]\nMimeType=application/x-chm\n"} << false;
        QTest::newRow("a default naming an existing entry")
            << QStringList{"config/mimeapps.list", "[Default Applications]\napplication/vnd.ms-htmlhelp=kde-viewer.desktop\n",
                           "system/applications/kde/viewer.desktop", viewer}
            << true;
        QTest::newRow("a default naming a missing entry")
            << QStringList{"config/mimeapps.list", "[Default Applications]\napplication/vnd.ms-htmlhelp=gone.desktop\n"} << false;
        QTest::newRow("a removed association is no association")
            << QStringList{"config/mimeapps.list", "[Removed Associations]\napplication/x-chm=viewer.desktop\n",
                           "data/applications/viewer.desktop", viewer}
            << false;
        QTest::newRow("the cache")
            << QStringList{"system/applications/mimeinfo.cache", "[MIME Cache]\napplication/x-chm=a.desktop;viewer.desktop;\n",
                           "system/applications/viewer.desktop", viewer}
            << true;
    }

    void applicationForType()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, found);
        const QString root = dirs_->filePath(QStringLiteral("mime"));
        for (qsizetype i = 0; i + 1 < files.size(); i += 2) {
            const QString path = root + '/' + files[i];
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(files[i + 1].toUtf8());
        }
        XdgDirs dirs;
        dirs.config = QStringList{root + "/config"};
        dirs.data = QStringList{root + "/data", root + "/system"};
        QCOMPARE(xdgHasApplicationFor({"application/vnd.ms-htmlhelp", "application/x-chm"}, dirs), found);
    }

private:
    // The user's configuration folder, with a space in its name as a home folder may have.
    QString first() const { return dirs_->filePath(QStringLiteral("my config")); }
    QString entry() const { return first() + QStringLiteral("/autostart/Scrawlix.desktop"); }
    // The entry's lines that match the pattern from their start.
    QStringList lines(const QString& pattern) const
    {
        QFile f(entry());
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll()).split('\n').filter(QRegularExpression("^(?:" + pattern + ')'));
    }
    std::unique_ptr<QTemporaryDir> dirs_;
    QByteArray saved_ = qgetenv("XDG_CONFIG_HOME");
};

void TestAutostart::addAndRemove_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("tryExec"); // a plain string value: no quoting, only its escapes
    QTest::newRow("spaces") << "/Program Files/My Tools/scrawlix" << R"("/Program Files/My Tools/scrawlix")"
                            << "/Program Files/My Tools/scrawlix";
    QTest::newRow("quote, backslash, dollar, backquote")
        << R"(/opt/a"b\c$d`e/scrawlix)" << R"("/opt/a\\"b\\\\c\\$d\\`e/scrawlix")" << R"(/opt/a"b\\c$d`e/scrawlix)";
    QTest::newRow("percent, tab, newline") << "/opt/100%\tb\nc/scrawlix" << R"("/opt/100%%\tb\nc/scrawlix")"
                                           << R"(/opt/100%\tb\nc/scrawlix)";
}

QTEST_MAIN(TestAutostart)
#include "tst_autostart.moc"
