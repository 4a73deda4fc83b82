#include "platform/filenames.h"
#include "platform/null/nullplatform.h"
#include "platform/platform.h"
#include "platform/scaling.h"
#include "platform/session.h"
#include "settings/settingsstore.h"
#include "shell/commandline.h"
#include "shell/commandtable.h"
#include "shell/instancerequests.h"
#include "ui/art.h"
#include "shell/loopprobe.h"
#include "shell/program.h"
#include "shell/translations.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <memory>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

#if defined(__GLIBC__)
#include <malloc.h>
#endif

Q_LOGGING_CATEGORY(lcStartup, "scrawlix.startup", QtWarningMsg)

namespace {

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// A text for the user before the application is made is in the user's language too: an
// application of its own, made only when there is such a text to say, carries the translations.
// Every such text ends the program, so it never meets the real application.
class EarlyTranslations
{
public:
    EarlyTranslations(int& argc, char** argv) : argc_(argc), argv_(argv) {}
    // Makes the texts made from now on translated; true the first time.
    bool load()
    {
        if (app_)
            return false;
        app_ = std::make_unique<QCoreApplication>(argc_, argv_);
        installTranslations(*app_);
        return true;
    }

private:
    int& argc_;
    char** argv_;
    std::unique_ptr<QCoreApplication> app_;
};

// The answer to a start that ends before the program runs, or -1 to go on. --help and --version
// need no display.
int answerCommandLine(const CommandLine& commandLine, EarlyTranslations& early)
{
    switch (commandLine.kind) {
    case CommandLine::Kind::Help:
        early.load();
        print(stdout, usageText());
        return 0;
    case CommandLine::Kind::Version:
        print(stdout, versionText() + QLatin1Char('\n'));
        return 0;
    case CommandLine::Kind::Error:
        print(stderr, QStringLiteral("scrawlix: %1\n").arg(commandLine.error) +
                          QCoreApplication::translate("CommandLine", "Try 'scrawlix --help'.") +
                          QLatin1Char('\n'));
        return 2;
    case CommandLine::Kind::Run:
        break;
    }
    // A file named on the command line must be there.
    const std::optional<InstanceRequest>& action = commandLine.action;
    if (action && !action->argument.isEmpty()) {
        const QByteArray file = filenames::fromArgument(action->argument);
        const filenames::HeldName held(file);
        if (!QFileInfo(held.name()).isFile()) {
            early.load();
            print(stderr, QStringLiteral("scrawlix: ") +
                              QCoreApplication::translate("CommandLine", "there is no file %1")
                                  .arg(QFile::decodeName(file)) +
                              QLatin1Char('\n'));
            return 1;
        }
    }
    return -1;
}

// The folder the program was started in, as the system's bytes.
QByteArray workingFolder()
{
#if defined(Q_OS_UNIX)
    QByteArray folder(4096, '\0');
    while (!::getcwd(folder.data(), static_cast<size_t>(folder.size()))) {
        if (errno != ERANGE)
            return QFile::encodeName(QDir::currentPath());
        folder.resize(folder.size() * 2);
    }
    return QByteArray(folder.constData());
#else
    return QFile::encodeName(QDir::currentPath());
#endif
}

} // namespace

int main(int argc, char** argv)
{
#if defined(__GLIBC__)
    // Pictures of the screen are megabytes each. glibc would raise its mmap threshold after the
    // first one is freed and serve the next ones from the heap, which it seldom gives back: the
    // program would keep a screen or two in the tray after every capture.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    // The worker threads are brief (a capture's early read, a copy, a save, an open); one heap
    // for all of them, rather than an arena of their own that each keeps for good.
    mallopt(M_ARENA_MAX, 1);
#endif
    // File names are taken as the system gives them: bytes, which need not be text.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    EarlyTranslations early(argc, argv);
    const QByteArray folder = workingFolder();
    CommandLine commandLine = parseCommandLine(arguments, folder);
    // The parse has no effects: once more with the translations, for its error in the user's
    // language.
    if (commandLine.kind == CommandLine::Kind::Error && early.load())
        commandLine = parseCommandLine(arguments, folder);
    if (const int status = answerCommandLine(commandLine, early); status >= 0)
        return status;

#if defined(Q_OS_WIN)
    const bool isWindows = true;
#else
    const bool isWindows = false;
#endif
    const auto platformChoice = [isWindows] {
        return choosePlatform(qEnvironmentVariable("QT_QPA_PLATFORM"),
                              qEnvironmentVariable("DISPLAY"),
                              qEnvironmentVariable("WAYLAND_DISPLAY"), isWindows);
    };
    PlatformChoice choice = platformChoice();
    if (!choice.error.isEmpty()) {
        if (early.load())
            choice = platformChoice();
        print(stderr, QStringLiteral("scrawlix: %1\n").arg(choice.error));
        return 1;
    }
    if (!choice.qpaPlatform.isEmpty())
        qputenv("QT_QPA_PLATFORM", choice.qpaPlatform.toUtf8());

    const auto unreachableDisplay = [] {
        return displayProblem(qEnvironmentVariable("QT_QPA_PLATFORM"),
                              qEnvironmentVariable("DISPLAY"));
    };
    QString unreachable = unreachableDisplay();
    if (!unreachable.isEmpty()) {
        if (early.load())
            unreachable = unreachableDisplay();
        print(stderr, QStringLiteral("scrawlix: %1\n").arg(unreachable));
        return 1;
    }
    // Window rectangles, captures and the canvas are all in device pixels.
    useDevicePixels(qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"));

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrawlix"));
    QApplication::setOrganizationName(QStringLiteral("Scrawlix"));
    // The program lives in the tray: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(artIcon(QStringLiteral("icons/scrawlix")));
    installTranslations(app);

    const bool wayland = isWaylandSession(qEnvironmentVariable("XDG_SESSION_TYPE"),
                                          qEnvironmentVariable("WAYLAND_DISPLAY"));
    std::unique_ptr<Platform> platform = createPlatform(QGuiApplication::platformName(), wayland);
    // Where Scrawlix has no backend it still runs, and says what it cannot do.
    if (platform->name == QLatin1String("none"))
        print(stderr, QStringLiteral("scrawlix: %1\n")
                          .arg(nullPlatformNotice(QGuiApplication::platformName())));

    Program program(std::move(platform), SettingsStore::forUser());

    // One program per session: a later start hands its action over (or, without one, has the
    // running program say that it is there) and ends.
    InstanceChannel& instances = *program.platform().instances;
    const auto received = [&program](const InstanceRequest& request) {
        RunInstanceRequest(program, request);
    };
    const QList<InstanceAction> actions = instanceActions();
    InstanceChannel::Claim claim = instances.claim(actions, received);
    if (claim == InstanceChannel::Claim::AlreadyRunning) {
        QString error;
        if (instances.send(commandLine.action.value_or(requestFor(Command::Activate)), &error))
            return 0;
        // It may have ended in the meantime.
        claim = instances.claim(actions, received);
        if (claim == InstanceChannel::Claim::AlreadyRunning) {
            print(stderr, QStringLiteral("scrawlix: ") +
                              QCoreApplication::translate(
                                  "CommandLine", "Scrawlix runs but did not take the request: %1")
                                  .arg(error) +
                              QLatin1Char('\n'));
            return 1;
        }
    }
    if (claim == InstanceChannel::Claim::Unavailable)
        print(stderr,
              QStringLiteral("scrawlix: ") +
                  QCoreApplication::translate("CommandLine", "%1; running without the check for a "
                                                             "Scrawlix that runs already")
                      .arg(instances.problem()) +
                  QLatin1Char('\n'));
    // Nothing runs that --exit could end.
    if (commandLine.action && *commandLine.action == requestFor(Command::Exit))
        return 0;

    startLoopProbe(&app);
    program.start();
    if (commandLine.action)
        QTimer::singleShot(0, &app, [&program, action = *commandLine.action] {
            RunInstanceRequest(program, action);
        });
    // Settled once the event loop runs and the tray icon can dock.
    QTimer::singleShot(0, &app, [] { qCInfo(lcStartup, "settled"); });
    return app.exec();
}
