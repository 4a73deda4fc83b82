#include "commandline.h"

#include "version.h"

#include <QDir>
#include <QUrl>

namespace {

// The actions that take no argument, by option.
struct Plain {
    const char* option;
    const char* action;
};
constexpr Plain PlainActions[] = {
    {"--capture-screen", "capture-screen"},
    {"--capture-window", "capture-window"},
    {"--show", "show"},
    {"--show-toolbox", "toolbox"},
    {"--about", "about"},
    {"--configuration", "configuration"},
    {"--show-help", "help"},
    {"--send-to-tray", "send-to-tray"},
    {"--exit", "exit"},
};

QString absoluteFile(const QString& given, const QString& workingDir)
{
    QString path = given;
    if (path.startsWith(QLatin1String("file:")))
        path = QUrl(path).toLocalFile();
    return QDir::cleanPath(QDir(workingDir).absoluteFilePath(path));
}

CommandLine failure(const QString& message)
{
    CommandLine c;
    c.kind = CommandLine::Kind::Error;
    c.error = message;
    return c;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments, const QString& workingDir)
{
    CommandLine result;
    bool help = false;
    bool version = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        std::optional<InstanceRequest> action;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            help = true;
            continue;
        }
        if (arg == QLatin1String("--version")) {
            version = true;
            continue;
        }
        for (const Plain& p : PlainActions) {
            if (arg == QLatin1String(p.option))
                action = InstanceRequest{QLatin1String(p.action), {}};
        }
        if (arg == QLatin1String("--open")) {
            // The file is optional: without one, the program asks for it as the menu's Open does.
            action = InstanceRequest{QStringLiteral("open"), {}};
            if (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1Char('-')))
                action->argument = absoluteFile(arguments.at(++i), workingDir);
        } else if (arg.startsWith(QLatin1String("--open="))) {
            const QString file = arg.mid(7);
            if (file.isEmpty())
                return failure(QStringLiteral("--open= names no file"));
            action = InstanceRequest{QStringLiteral("open"), absoluteFile(file, workingDir)};
        }
        if (!action) {
            if (arg.startsWith(QLatin1Char('-')))
                return failure(QStringLiteral("unknown option '%1'").arg(arg));
            return failure(QStringLiteral("unexpected argument '%1'").arg(arg));
        }
        if (result.action)
            return failure(
                QStringLiteral("one action at a time: '%1' after another action").arg(arg));
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
    return QStringLiteral(
        "Usage: scrawlix [ACTION]\n"
        "\n"
        "Scrawlix waits in the system tray. Press the Windows key + V, or double-click the tray\n"
        "icon, to freeze the screen into a canvas and draw on it. On a desktop without a tray,\n"
        "the actions below reach every item of the tray's menu.\n"
        "\n"
        "Started while Scrawlix runs, it hands the action to the running Scrawlix and ends;\n"
        "without an action it only has the running Scrawlix say that it is there. Started with\n"
        "an action while none runs, it starts Scrawlix and then runs the action.\n"
        "\n"
        "Actions (each does what the tray menu's item of the same name does):\n"
        "  --capture-screen   capture the screen and show it on the canvas\n"
        "  --capture-window   capture the active window and show it on the canvas\n"
        "  --show             show the canvas that Hide has kept\n"
        "  --open [FILE]      open an image file on the canvas; without FILE, ask for one\n"
        "  --show-toolbox     show the toolbox\n"
        "  --about            show the About box\n"
        "  --configuration    open the Configuration dialog\n"
        "  --show-help        open the help\n"
        "  --send-to-tray     hide the canvas and the toolbox, discarding the drawing\n"
        "  --exit             end the running Scrawlix\n"
        "\n"
        "Options:\n"
        "  -h, --help         print this help and end\n"
        "  --version          print the version and end\n");
}

QString versionText()
{
    return QStringLiteral("Scrawlix %1.%2.%3")
        .arg(SCRAWLIX_VERSION_MAJOR)
        .arg(SCRAWLIX_VERSION_MINOR)
        .arg(SCRAWLIX_VERSION_PATCH);
}
