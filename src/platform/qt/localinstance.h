#pragma once

// The single-instance channel over a local socket (a named pipe on Windows, a socket file
// elsewhere). The running program listens under a name of the user's session; a later start
// connects, writes its request and waits for one byte of acknowledgement.

#include "platform/instancechannel.h"

#include <QString>
#include <memory>

class QLocalServer;

class LocalInstanceChannel : public InstanceChannel
{
  public:
    explicit LocalInstanceChannel(const QString& serverName);
    ~LocalInstanceChannel() override;

    Claim claim(const QList<InstanceAction>& actions, Receiver received) override;
    bool send(const InstanceRequest& request, QString* error) override;
    QString problem() const override { return problem_; }

    // How long send() waits for the running program, and claim() for an answer to its probe.
    int timeoutMs = 5000;

  private:
    bool answers() const; // whether a program listens under the name now
    void takeConnection();

    QString name_;
    std::unique_ptr<QLocalServer> server_;
    Receiver received_;
    QString problem_;
};
