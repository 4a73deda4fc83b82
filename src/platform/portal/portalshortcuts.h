#pragma once

// The global hot key through the desktop portal's GlobalShortcuts interface, for sessions where an
// X grab sees keys only while an X client has the focus (Wayland). The portal's Activated signal is
// reported as a press of the registered combination, exactly like a press that the X grab sees.

#include "platform/hotkeys.h"
#include "portalrequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>
#include <memory>

class Notices;

// The shortcut's preferred trigger in the portal's notation ("LOGO+v"), or empty when the key has
// no name there.
QString shortcutTrigger(quint32 modifiers, quint32 vk);

// The id under which the one shortcut is bound.
inline constexpr char kCaptureShortcutId[] = "capture-screen";

// One entry of the portal's a(sa{sv}) lists of shortcuts.
struct Shortcut {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(Shortcut)

// The trigger that a portal's answer (of BindShortcuts or ListShortcuts) gives "capture-screen": an
// empty string where it lists the shortcut without a trigger, a null string where it does not list
// it, which means that nothing is bound.
QString boundTrigger(const QVariantMap& results);

class PortalHotKeys : public HotKeys
{
    Q_OBJECT
public:
    // `fallback` knows the keyboard, and takes the registrations when there is no portal; its
    // presses are reported as ours.
    PortalHotKeys(const QDBusConnection& bus, std::unique_ptr<HotKeys> fallback,
                  std::shared_ptr<Notices> notices);
    ~PortalHotKeys() override;

    // Binds the key through the portal (asynchronously; re-binding when the key changes).
    bool RegisterHotKey(quintptr window, quint32 modifiers, quint32 vk) override;
    quint32 virtualKeyFor(QChar ch) const override;

    enum class State { Idle, Binding, Bound, Missing };
    State state() const { return state_; }

Q_SIGNALS:
    // A binding finished (bound, or given up on); for tests and the log.
    void settled();

private Q_SLOTS:
    void onActivated(const QDBusMessage& message);

private:
    struct Wanted {
        quintptr window = 0;
        quint32 modifiers = 0;
        quint32 vk = 0;
    };
    void bind();
    QList<Shortcut> wantedShortcuts() const;
    void createSession();
    void listShortcuts();
    void bindShortcut();
    void bound(const QString& trigger);
    void closeSession();
    void giveUp(const PortalAnswer& answer);

    QDBusConnection bus_;
    std::unique_ptr<HotKeys> fallback_;
    std::shared_ptr<Notices> notices_;
    State state_ = State::Idle;
    Wanted wanted_;
    bool haveWanted_ = false;
    bool again_ = false; // the key changed while a binding was under way
    QString session_;
};
