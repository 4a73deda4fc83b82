#pragma once

// The single-instance channel on Windows: a named mutex of the login session decides which
// process is the running program, and a named pipe of the same session carries the requests.

#include "platform/qt/localinstance.h"

class Win32InstanceChannel : public InstanceChannel
{
  public:
    Win32InstanceChannel();
    ~Win32InstanceChannel() override;

    Claim claim(const QList<InstanceAction>& actions, Receiver received) override;
    bool send(const InstanceRequest& request, QString* error) override;
    QString problem() const override;

  private:
    void* mutex_ = nullptr; // HANDLE, kept while this process is the running program
    LocalInstanceChannel pipe_;
    QString problem_;
};
