#pragma once

// The command line: an action for the running program, or a question about this one.

#include "platform/instancechannel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

struct CommandLine {
    enum class Kind {
        Run,     // start, or hand `action` to the program already running
        Help,    // print usageText() and end
        Version, // print versionText() and end
        Error,   // print `error` and a hint, end with status 2
    };
    Kind kind = Kind::Run;
    std::optional<InstanceRequest> action; // none: a plain start
    QString error;
};

// Reads the arguments (without the program's name), as the system's bytes. A relative FILE is
// taken from workingDir; the request names it as filenames::toArgument does.
CommandLine parseCommandLine(const QList<QByteArray>& arguments, const QByteArray& workingDir);

QString usageText();
QString versionText(); // "Scrawlix 5.0.68"
