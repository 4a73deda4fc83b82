#pragma once

// Notifications through the desktop's notification service on the session bus
// (org.freedesktop.Notifications), which GNOME, KDE and most other desktops run whether or not they
// show a tray.

#include "platform/notices.h"

#include <QDBusConnection>

class DBusNotifications : public DesktopNotifications
{
public:
    explicit DBusNotifications(const QDBusConnection& bus);

    bool available() override;
    bool notify(const QString& title, const QString& text) override;

private:
    QDBusConnection bus_;
};
