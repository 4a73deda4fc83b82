#include "dbusnotifications.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace {
constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
} // namespace

DBusNotifications::DBusNotifications(const QDBusConnection& bus) : bus_(bus) {}

bool DBusNotifications::available()
{
    if (!bus_.isConnected() || !bus_.interface())
        return false;
    if (bus_.interface()->isServiceRegistered(QLatin1String(kService)))
        return true;
    // A service that the bus starts on demand counts too.
    const QDBusReply<QStringList> names = bus_.interface()->call(QStringLiteral("ListActivatableNames"));
    return names.isValid() && names.value().contains(QLatin1String(kService));
}

bool DBusNotifications::notify(const QString& title, const QString& text)
{
    if (!bus_.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kService),
                                                       QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
    // server's default).
    call << QStringLiteral("Scrawlix") << 0u << QStringLiteral("io.github.scrawlix.Scrawlix")
         << title << text << QStringList() << QVariantMap() << -1;
    return bus_.send(call);
}
