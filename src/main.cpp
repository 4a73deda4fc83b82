#include "platform/platform.h"
#include "settings/settingsstore.h"
#include "ui/art.h"
#include "shell/program.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <cstdio>

Q_LOGGING_CATEGORY(lcStartup, "scrawlix.startup", QtWarningMsg)

int main(int argc, char** argv)
{
#if defined(Q_OS_WIN)
    const bool isWindows = true;
#else
    const bool isWindows = false;
#endif
    const PlatformChoice choice = choosePlatform(qEnvironmentVariable("QT_QPA_PLATFORM"),
                                                 qEnvironmentVariable("DISPLAY"),
                                                 qEnvironmentVariable("WAYLAND_DISPLAY"), isWindows);
    if (!choice.error.isEmpty()) {
        std::fprintf(stderr, "scrawlix: %s\n", qPrintable(choice.error));
        return 1;
    }
    if (!choice.qpaPlatform.isEmpty())
        qputenv("QT_QPA_PLATFORM", choice.qpaPlatform.toUtf8());

    const QString unreachable = displayProblem(qEnvironmentVariable("QT_QPA_PLATFORM"),
                                               qEnvironmentVariable("DISPLAY"));
    if (!unreachable.isEmpty()) {
        std::fprintf(stderr, "scrawlix: %s\n", qPrintable(unreachable));
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrawlix"));
    QApplication::setOrganizationName(QStringLiteral("Scrawlix"));
    // The program lives in the tray: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(artIcon(QStringLiteral("icons/scrawlix")));

    std::unique_ptr<Platform> platform = createPlatform(QGuiApplication::platformName());
    if (!platform) {
        std::fprintf(stderr, "scrawlix: the \"%s\" windowing system is not supported; Scrawlix needs X11.\n",
                     qPrintable(QGuiApplication::platformName()));
        return 1;
    }

    Program program(std::move(platform), SettingsStore::forUser());
    program.start();
    // Settled once the event loop runs and the tray icon can dock.
    QTimer::singleShot(0, &app, [] { qCInfo(lcStartup, "settled"); });
    return app.exec();
}
