#pragma once

// The single-instance channel on the session bus. The running program owns the bus name
// io.github.scrawlix.Scrawlix and serves the interface of the same name at
// /io/github/scrawlix/Scrawlix (docs/dbus-interface.md), which the desktop's shortcut settings and
// scripts may call as well. When the session bus restarts, it owns the name again on the new one.

#include "platform/instancechannel.h"

#include <QString>
#include <memory>

class DBusInstanceAdaptor;
class DBusNameKeeper;

class DBusInstanceChannel : public InstanceChannel
{
  public:
    DBusInstanceChannel();
    ~DBusInstanceChannel() override;

    Claim claim(Receiver received) override;
    bool send(const InstanceRequest& request, QString* error) override;
    QString problem() const override { return problem_; }

  private:
    std::unique_ptr<DBusInstanceAdaptor> adaptor_;
    std::unique_ptr<DBusNameKeeper> keeper_; // claims the name again after the bus restarts
    QString problem_;
};

// The names on the bus.
namespace dbusinstance {
inline const QString ServiceName = QStringLiteral("io.github.scrawlix.Scrawlix");
inline const QString ObjectPath = QStringLiteral("/io/github/scrawlix/Scrawlix");
inline const QString Interface = QStringLiteral("io.github.scrawlix.Scrawlix");
} // namespace dbusinstance
