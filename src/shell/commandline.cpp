#include "commandline.h"

#include "version.h"

#include "commandtable.h"
#include "platform/filenames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

// The absolute name, as the system's bytes, of a file given on the command line. The bytes go
// through QDir as Latin-1, one character a byte, so that none is lost on the way.
QByteArray absoluteFile(const QByteArray& given, const QByteArray& workingDir)
{
    QByteArray path = given;
    if (path.startsWith("file:"))
        path = filenames::fromArgument(QString::fromUtf8(given));
    const QString cleaned = QDir::cleanPath(
        QDir(QString::fromLatin1(workingDir)).absoluteFilePath(QString::fromLatin1(path)));
    return cleaned.toLatin1();
}

QString shown(const QByteArray& arg)
{
    return QFile::decodeName(arg);
}

CommandLine failure(const QString& message)
{
    CommandLine c;
    c.kind = CommandLine::Kind::Error;
    c.error = message;
    return c;
}

} // namespace

CommandLine parseCommandLine(const QList<QByteArray>& arguments, const QByteArray& workingDir)
{
    CommandLine result;
    bool help = false;
    bool version = false;
    // The request for a file: its name as text, or, when that name is not text, a URL that
    // keeps its bytes. A name longer than the system takes is no file at all.
    QString tooLong;
    const auto openFile = [&](const char* action, const QByteArray& given) {
        const QByteArray path = absoluteFile(given, workingDir);
        if (path.size() > filenames::maxPathBytes())
            tooLong = shown(given);
        return InstanceRequest{QLatin1String(action), filenames::toArgument(path)};
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QByteArray& arg = arguments.at(i);
        std::optional<InstanceRequest> action;
        if (arg == "--help" || arg == "-h") {
            help = true;
            continue;
        }
        if (arg == "--version") {
            version = true;
            continue;
        }
        for (const CommandRow& row : commandTable()) {
            const RequestForm& form = row.request;
            if (!form.action || !form.help)
                continue;
            const QByteArray option = QByteArray("--") + form.action;
            if (arg == option) {
                action = InstanceRequest{QLatin1String(form.action), {}};
                // The file is optional: without one, the program asks for it as the menu does.
                if (form.takesFile && i + 1 < arguments.size() &&
                    !arguments.at(i + 1).startsWith('-'))
                    action = openFile(form.action, arguments.at(++i));
            } else if (form.takesFile && arg.startsWith(option + '=')) {
                const QByteArray file = arg.mid(option.size() + 1);
                if (file.isEmpty())
                    return failure(QCoreApplication::translate("CommandLine", "%1= names no file")
                                       .arg(QLatin1String(option)));
                action = openFile(form.action, file);
            }
        }
        if (!action && arg.startsWith('-'))
            return failure(
                QCoreApplication::translate("CommandLine", "unknown option '%1'").arg(shown(arg)));
        // A file by itself is opened, as a file manager's "Open with" asks.
        if (!action)
            action = openFile(commandRow(Command::Open).request.action, arg);
        if (!tooLong.isEmpty())
            return failure(QCoreApplication::translate("CommandLine",
                                                       "the file name is longer than the system "
                                                       "takes (%1 bytes): %2")
                               .arg(filenames::maxPathBytes())
                               .arg(tooLong.left(80) + QStringLiteral("...")));
        if (result.action)
            return failure(QCoreApplication::translate(
                               "CommandLine", "one action at a time: '%1' after another action")
                               .arg(shown(arg)));
        result.action = action;
    }
    if (help)
        result.kind = CommandLine::Kind::Help;
    else if (version)
        result.kind = CommandLine::Kind::Version;
    return result;
}

QString usageText()
{
    // One line an option, its description in the 22nd column.
    const auto line = [](const QString& option, const QString& description) {
        return QStringLiteral("  ") + option.leftJustified(18) + QLatin1Char(' ') + description +
               QLatin1Char('\n');
    };
    QString actions;
    for (const CommandRow& row : commandTable()) {
        const RequestForm& form = row.request;
        if (!form.action || !form.help)
            continue;
        const QString option = QStringLiteral("--") + QLatin1String(form.action);
        actions += line(option + (form.takesFile ? QStringLiteral(" [FILE]") : QString()),
                        commandText(form.help));
        if (row.id == Command::Open)
            actions +=
                line(QStringLiteral("FILE"),
                     QCoreApplication::translate("CommandLine", "the same as %1 FILE").arg(option));
    }
    // The option names are the same in every language.
    const QString head = QCoreApplication::translate(
        "CommandLine",
        "Usage: scrawlix [ACTION | FILE]\n"
        "\n"
        "Scrawlix waits in the system tray. Press the Windows key + V, or double-click the tray\n"
        "icon, to freeze the screen into a canvas and draw on it. On a desktop without a tray,\n"
        "the actions below reach every item of the tray's menu.\n"
        "\n"
        "Started while Scrawlix runs, it hands the action to the running Scrawlix and ends;\n"
        "without an action it only has the running Scrawlix say that it is there. Started with\n"
        "an action while none runs, it starts Scrawlix and then runs the action.\n"
        "\n"
        "Actions (each does what the tray menu's item of the same name does):\n");
    const QString options =
        QLatin1Char('\n') + QCoreApplication::translate("CommandLine", "Options:") +
        QLatin1Char('\n') +
        line(QStringLiteral("-h, --help"),
             QCoreApplication::translate("CommandLine", "print this help and end")) +
        line(QStringLiteral("--version"),
             QCoreApplication::translate("CommandLine", "print the version and end"));
    return head + actions + options;
}

QString versionText()
{
    return QStringLiteral("Scrawlix %1.%2.%3")
        .arg(SCRAWLIX_VERSION_MAJOR)
        .arg(SCRAWLIX_VERSION_MINOR)
        .arg(SCRAWLIX_VERSION_PATCH);
}
