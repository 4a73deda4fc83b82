#pragma once

// The command line: an action for the running program, or a question about this one.

#include "platform/instancechannel.h"

#include <QString>
#include <QStringList>
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

// Reads the arguments (without the program's name). A relative FILE of --open is taken from
// workingDir.
CommandLine parseCommandLine(const QStringList& arguments, const QString& workingDir);

QString usageText();
QString versionText(); // "Scrawlix 5.0.68"
