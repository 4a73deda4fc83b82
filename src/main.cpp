#include "platform/platform.h"

#include <QApplication>
#include <cstdio>

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
        std::fprintf(stderr, "%s\n", qPrintable(choice.error));
        return 1;
    }
    if (!choice.qpaPlatform.isEmpty())
        qputenv("QT_QPA_PLATFORM", choice.qpaPlatform.toUtf8());

    QApplication app(argc, argv);
    return 0;
}
