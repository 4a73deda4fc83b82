#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

// What the program has to tell the user outside its windows: a portal that is missing, a hot key
// that cannot be had, that it is already running. The shell supplies the sink, which picks the way
// that reaches the user on this desktop (the tray's balloon, the desktop's notifications, a message
// box for what matters); what is told before there is a sink waits for it.
class Notices
{
public:
    // Important notices change what the user can do (no hot key, no screenshots, no tray); the
    // sink may show them even where the desktop has no quiet way of telling.
    enum class Weight { Passing, Important };
    using Sink = std::function<void(const QString& text, Weight weight)>;

    // Delivers what was told so far, then everything told later.
    void setSink(Sink sink);

    // Tells `text` unless something was already told under `key`.
    void tellOnce(const QString& key, const QString& text, Weight weight = Weight::Passing);
    // Tells `text` every time.
    void tell(const QString& text, Weight weight = Weight::Passing);

    bool told(const QString& key) const { return told_.contains(key); }

private:
    Sink sink_;
    QSet<QString> told_;
    std::vector<std::pair<QString, Weight>> pending_;
};

// The desktop's own notification service (org.freedesktop.Notifications), for desktops whose tray
// shows no balloons, or that have no tray.
class DesktopNotifications
{
public:
    virtual ~DesktopNotifications() = default;
    // Whether a notification service is there to show one now.
    virtual bool available() = 0;
    // Shows a notification titled `title`; false when it could not be sent.
    virtual bool notify(const QString& title, const QString& text) = 0;
};

// Where a notice goes: the tray's balloon where the tray shows one, else the desktop's
// notifications, else a message box for an important notice; a passing one then stays in the log.
enum class NoticeWay { Tray, Desktop, MessageBox, LogOnly };
NoticeWay noticeWay(bool trayShowsMessages, bool desktopNotifications, Notices::Weight weight);
