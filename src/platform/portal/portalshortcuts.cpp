#include "portalshortcuts.h"

#include "platform/notices.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QLoggingCategory>
#include <QTimer>

Q_DECLARE_LOGGING_CATEGORY(lcPortal)

namespace {

constexpr char kInterface[] = "org.freedesktop.portal.GlobalShortcuts";

} // namespace

QDBusArgument& operator<<(QDBusArgument& arg, const Shortcut& s)
{
    arg.beginStructure();
    arg << s.id << s.properties;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, Shortcut& s)
{
    arg.beginStructure();
    arg >> s.id >> s.properties;
    arg.endStructure();
    return arg;
}

QString boundTrigger(const QVariantMap& results)
{
    const QVariant value = results.value(QStringLiteral("shortcuts"));
    QList<Shortcut> shortcuts;
    if (value.userType() == qMetaTypeId<QDBusArgument>())
        value.value<QDBusArgument>() >> shortcuts;
    else if (value.canConvert<QList<Shortcut>>())
        shortcuts = value.value<QList<Shortcut>>();
    for (const Shortcut& s : shortcuts) {
        if (s.id == QLatin1String(kCaptureShortcutId)) {
            const QString trigger = s.properties.value(QStringLiteral("trigger_description")).toString();
            return trigger.isNull() ? QStringLiteral("") : trigger;
        }
    }
    return {};
}

QString shortcutTrigger(quint32 modifiers, quint32 vk)
{
    QString key;
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        key = QChar(vk).toLower();
    if (key.isEmpty())
        return {};
    QString trigger;
    if (modifiers & HotKeys::ModControl)
        trigger += QLatin1String("CTRL+");
    if (modifiers & HotKeys::ModAlt)
        trigger += QLatin1String("ALT+");
    if (modifiers & HotKeys::ModShift)
        trigger += QLatin1String("SHIFT+");
    if (modifiers & HotKeys::ModWin)
        trigger += QLatin1String("LOGO+");
    return trigger + key;
}

PortalHotKeys::PortalHotKeys(const QDBusConnection& bus, std::unique_ptr<HotKeys> fallback,
                             std::shared_ptr<Notices> notices)
    : bus_(bus), fallback_(std::move(fallback)), notices_(std::move(notices))
{
    connect(fallback_.get(), &HotKeys::pressed, this, &HotKeys::pressed);
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    if (!bus_.connect(QLatin1String(kPortalService), QLatin1String(kPortalPath),
                      QLatin1String(kInterface), QStringLiteral("Activated"), this,
                      SLOT(onActivated(QDBusMessage))))
        qCWarning(lcPortal, "cannot listen to the global shortcuts portal: %s",
                  qPrintable(bus_.lastError().message()));
}

PortalHotKeys::~PortalHotKeys()
{
    closeSession();
}

bool PortalHotKeys::RegisterHotKey(quintptr window, quint32 modifiers, quint32 vk)
{
    if (state_ == State::Missing)
        return fallback_->RegisterHotKey(window, modifiers, vk);
    wanted_ = {window, modifiers, vk};
    haveWanted_ = true;
    bind();
    return true;
}

quint32 PortalHotKeys::virtualKeyFor(QChar ch) const
{
    return fallback_->virtualKeyFor(ch);
}

void PortalHotKeys::bind()
{
    if (state_ == State::Binding) {
        again_ = true;
        return;
    }
    state_ = State::Binding;
    again_ = false;
    // A session binds its shortcuts once; a new key takes a new session.
    closeSession();
    createSession();
}

QList<Shortcut> PortalHotKeys::wantedShortcuts() const
{
    QVariantMap properties{{QStringLiteral("description"),
                            QCoreApplication::translate("Platform", "Capture the screen")}};
    const QString trigger = shortcutTrigger(wanted_.modifiers, wanted_.vk);
    if (!trigger.isEmpty())
        properties.insert(QStringLiteral("preferred_trigger"), trigger);
    return {{QLatin1String(kCaptureShortcutId), properties}};
}

void PortalHotKeys::createSession()
{
    auto* request = new PortalRequest(bus_, this);
    const QString sessionToken = portalToken();
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kPortalService),
                                                       QLatin1String(kPortalPath),
                                                       QLatin1String(kInterface),
                                                       QStringLiteral("CreateSession"));
    // Some desktops (KDE's) take the shortcuts only here, registering them with the session.
    call << QVariantMap{{QStringLiteral("handle_token"), request->token()},
                        {QStringLiteral("session_handle_token"), sessionToken},
                        {QStringLiteral("shortcuts"), QVariant::fromValue(wantedShortcuts())}};
    connect(request, &PortalRequest::answered, this, [this, request](const PortalAnswer& a) {
        request->deleteLater();
        if (a.kind != PortalAnswer::Granted) {
            giveUp(a);
            return;
        }
        const QVariant handle = a.results.value(QStringLiteral("session_handle"));
        session_ = handle.canConvert<QDBusObjectPath>() && handle.userType() == qMetaTypeId<QDBusObjectPath>()
                       ? handle.value<QDBusObjectPath>().path()
                       : handle.toString();
        if (session_.isEmpty()) {
            giveUp({PortalAnswer::Failed, {}, QStringLiteral("the portal gave no session")});
            return;
        }
        listShortcuts();
    });
    request->send(call);
}

void PortalHotKeys::listShortcuts()
{
    // A shortcut that the desktop already holds for us (from CreateSession, or from an earlier
    // start) needs no BindShortcuts, which on some desktops opens the shortcut settings.
    auto* request = new PortalRequest(bus_, this);
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kPortalService),
                                                       QLatin1String(kPortalPath),
                                                       QLatin1String(kInterface),
                                                       QStringLiteral("ListShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(session_))
         << QVariantMap{{QStringLiteral("handle_token"), request->token()}};
    connect(request, &PortalRequest::answered, this, [this, request](const PortalAnswer& a) {
        request->deleteLater();
        const QString trigger = a.kind == PortalAnswer::Granted ? boundTrigger(a.results) : QString();
        if (trigger.isNull())
            bindShortcut();
        else
            bound(trigger);
    });
    request->send(call);
}

void PortalHotKeys::bindShortcut()
{
    auto* request = new PortalRequest(bus_, this);
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kPortalService),
                                                       QLatin1String(kPortalPath),
                                                       QLatin1String(kInterface),
                                                       QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << QVariant::fromValue(wantedShortcuts())
         << QString() << QVariantMap{{QStringLiteral("handle_token"), request->token()}};
    connect(request, &PortalRequest::answered, this, [this, request](const PortalAnswer& a) {
        request->deleteLater();
        if (a.kind != PortalAnswer::Granted) {
            giveUp(a);
            return;
        }
        // Only a shortcut that the answer lists is bound; an answer without it binds nothing.
        const QString trigger = boundTrigger(a.results);
        if (trigger.isNull()) {
            giveUp({PortalAnswer::Refused, {},
                    QStringLiteral("the portal's answer does not list \"%1\"").arg(QLatin1String(kCaptureShortcutId))});
            return;
        }
        bound(trigger);
    });
    request->send(call);
}

void PortalHotKeys::bound(const QString& trigger)
{
    qCInfo(lcPortal, "global shortcut bound: %s on %s", kCaptureShortcutId,
           qPrintable(trigger.isEmpty() ? QStringLiteral("a key the desktop chooses") : trigger));
    state_ = State::Bound;
    if (again_)
        bind();
    else
        Q_EMIT settled();
}

void PortalHotKeys::closeSession()
{
    if (session_.isEmpty())
        return;
    bus_.asyncCall(QDBusMessage::createMethodCall(QLatin1String(kPortalService), session_,
                                                  QStringLiteral("org.freedesktop.portal.Session"),
                                                  QStringLiteral("Close")));
    session_.clear();
}

void PortalHotKeys::giveUp(const PortalAnswer& answer)
{
    qCWarning(lcPortal, "global shortcuts portal: %s", qPrintable(answer.detail));
    closeSession();
    state_ = State::Missing;
    notices_->tellOnce(QStringLiteral("shortcuts"),
                       QCoreApplication::translate(
                           "Platform",
                           "This desktop gives Scrawlix no global shortcut. To capture the screen "
                           "with a key, bind the command \"scrawlix --capture-screen\" in the "
                           "desktop's keyboard settings."),
                       Notices::Weight::Important);
    // The X grab still serves while an X client has the focus.
    if (haveWanted_)
        fallback_->RegisterHotKey(wanted_.window, wanted_.modifiers, wanted_.vk);
    Q_EMIT settled();
}

void PortalHotKeys::onActivated(const QDBusMessage& message)
{
    // Activated(o session_handle, s shortcut_id, t timestamp, a{sv} options)
    const QVariantList args = message.arguments();
    if (args.size() < 2)
        return;
    const QString session = args.at(0).value<QDBusObjectPath>().path();
    const QString shortcutId = args.at(1).toString();
    if (state_ != State::Bound || session != session_ ||
        shortcutId != QLatin1String(kCaptureShortcutId))
        return;
    // Reported from the event loop, like a key grab's press, never inside our own D-Bus handling.
    QTimer::singleShot(0, this, [this, vk = wanted_.vk, modifiers = wanted_.modifiers] {
        Q_EMIT pressed(vk, modifiers);
    });
}
