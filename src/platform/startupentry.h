#pragma once

#include <QString>

// The entry that starts the program with the system: the machine's Run key on Windows, the
// user's own autostart entry on a Linux desktop.
class StartupEntry
{
public:
    virtual ~StartupEntry() = default;

    enum class Result { Ok, CannotAccess };

    // Registers programPath (the running executable) to start with the system.
    virtual Result Add(const QString& programPath) = 0;
    // Clears the registration, keeping an entry that says "do not start".
    virtual Result Remove() = 0;
};
