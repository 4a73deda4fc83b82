#pragma once

// The single-instance channel on the session bus. The running program owns the bus name
// io.github.scrawlix.Scrawlix and serves the interface of the same name at
// /io/github/scrawlix/Scrawlix (docs/dbus-interface.md), a method for each request it takes, which
// the desktop's shortcut settings and scripts may call as well. When the session bus restarts, it
// owns the name again on the new one.

#include "platform/instancechannel.h"

#include <QString>
#include <memory>

class DBusInstanceObject;
class DBusNameKeeper;

class DBusInstanceChannel : public InstanceChannel
{
  public:
    DBusInstanceChannel();
    ~DBusInstanceChannel() override;

    Claim claim(const QList<InstanceAction>& actions, Receiver received) override;
    bool send(const InstanceRequest& request, QString* error) override;
    QString problem() const override { return problem_; }

  private:
    QList<InstanceAction> actions_;
    std::unique_ptr<DBusInstanceObject> object_;
    std::unique_ptr<DBusNameKeeper> keeper_; // claims the name again after the bus restarts
    QString problem_;
};

// The names on the bus.
namespace dbusinstance {
inline const QString ServiceName = QStringLiteral("io.github.scrawlix.Scrawlix");
inline const QString ObjectPath = QStringLiteral("/io/github/scrawlix/Scrawlix");
inline const QString Interface = QStringLiteral("io.github.scrawlix.Scrawlix");

// An action's method on the bus: its words capitalised, without the dashes ("capture-screen":
// CaptureScreen). One that takes a file takes it as a string.
QString methodName(const QString& action);
// The interface as introspection shows it.
QString introspection(const QList<InstanceAction>& actions);
} // namespace dbusinstance
