#pragma once

#include <QString>

class ShellOpen
{
public:
    virtual ~ShellOpen() = default;
    // Opens a file or web address with the desktop's associated program, without waiting.
    // False when nothing could be launched.
    virtual bool Open(const QString& target) = 0;
};
