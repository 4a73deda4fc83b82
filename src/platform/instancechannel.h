#pragma once

// One running program per user session. A later start of the program hands its request (or just
// "I was started") to the program already running, through a channel of the desktop: the session
// bus on Linux, a local socket on Windows.

#include <QList>
#include <QString>
#include <functional>

// A request the running program takes: its action, and whether it names a file.
struct InstanceAction {
    QString action;         // "capture-screen"
    bool takesFile = false; // the file, or none to have the user choose one
};

// What a later start asks of the running program.
struct InstanceRequest {
    QString action;   // one of the program's InstanceActions
    QString argument; // the absolute file name of an action that takes one; empty otherwise

    bool operator==(const InstanceRequest& o) const
    {
        return action == o.action && argument == o.argument;
    }
};

class InstanceChannel
{
  public:
    enum class Claim {
        First,          // this process is the running program now; requests will arrive
        AlreadyRunning, // another process is; send() reaches it
        Unavailable,    // no channel (no session bus): run without the check; problem() says why
    };

    using Receiver = std::function<void(const InstanceRequest&)>;

    InstanceChannel() = default;
    virtual ~InstanceChannel() = default;
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    // Tries to become the running program, which takes the requests `actions` names. When First,
    // each request that a later start sends is passed to `received`, on the user-interface
    // thread, from the event loop.
    virtual Claim claim(const QList<InstanceAction>& actions, Receiver received) = 0;
    // Hands a request to the running program that claim() found. False, with a reason in *error,
    // when it did not arrive.
    virtual bool send(const InstanceRequest& request, QString* error) = 0;
    // Why claim() answered Unavailable.
    virtual QString problem() const = 0;
};
