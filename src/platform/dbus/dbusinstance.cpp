#include "dbusinstance.h"

#include "platform/filenames.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVirtualObject>
#include <QDir>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace {

// How long a later start waits for the running program to take its request.
constexpr int CallTimeoutMs = 10000;

const InstanceAction* actionOfMethod(const QList<InstanceAction>& actions, const QString& method)
{
    for (const InstanceAction& a : actions) {
        if (dbusinstance::methodName(a.action) == method)
            return &a;
    }
    return nullptr;
}

QString signatureOf(const InstanceAction& action)
{
    return action.takesFile ? QStringLiteral("s") : QString();
}

} // namespace

QString dbusinstance::methodName(const QString& action)
{
    QString method;
    for (const QString& word : action.split(QLatin1Char('-'), Qt::SkipEmptyParts))
        method += word.at(0).toUpper() + word.mid(1);
    return method;
}

QString dbusinstance::introspection(const QList<InstanceAction>& actions)
{
    QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(Interface);
    for (const InstanceAction& a : actions) {
        const QString method = methodName(a.action);
        if (a.takesFile)
            xml += QStringLiteral("    <method name=\"%1\">\n"
                                  "      <arg name=\"file\" type=\"s\" direction=\"in\"/>\n"
                                  "    </method>\n")
                       .arg(method);
        else
            xml += QStringLiteral("    <method name=\"%1\"/>\n").arg(method);
    }
    return xml + QStringLiteral("  </interface>\n");
}

// The object on the bus: a method for each request the program takes. Each method only queues the
// request and returns at once, so the caller is not kept waiting while the request runs (a capture
// takes a second, and a dialog may open).
class DBusInstanceObject : public QDBusVirtualObject
{
  public:
    DBusInstanceObject(QList<InstanceAction> actions, InstanceChannel::Receiver received)
        : actions_(std::move(actions)), received_(std::move(received))
    {
    }

    QString introspect(const QString&) const override
    {
        return dbusinstance::introspection(actions_);
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        // Introspection and the other standard interfaces are Qt's.
        if (message.type() != QDBusMessage::MethodCallMessage ||
            (!message.interface().isEmpty() && message.interface() != dbusinstance::Interface))
            return false;
        const InstanceAction* action = actionOfMethod(actions_, message.member());
        if (!action && message.interface().isEmpty())
            return false;
        if (!action || message.signature() != signatureOf(*action)) {
            reply(connection, message.createErrorReply(
                                  QDBusError::UnknownMethod,
                                  QStringLiteral("No such method '%1' in interface '%2' at object "
                                                 "path '%3' (signature '%4')")
                                      .arg(message.member(), dbusinstance::Interface,
                                           message.path(), message.signature())));
            return true;
        }
        const QString file =
            action->takesFile ? message.arguments().value(0).toString() : QString();
        // An empty name asks for a file.
        if (!action->takesFile || file.isEmpty()) {
            queue({action->action, {}});
            reply(connection, message.createReply());
            return true;
        }
        // The caller's working folder means nothing here. A name the system would not take is
        // refused at once, rather than keeping the program busy with it.
        const QByteArray path = filenames::fromArgument(file);
        if (path.isEmpty() || path.contains('\0')) {
            reply(connection,
                  message.createErrorReply(
                      QDBusError::InvalidArgs,
                      QStringLiteral("%1 takes an absolute file name or a file: URL, not \"%2\"")
                          .arg(message.member(),
                               file.size() > 80 ? file.left(80) + QStringLiteral("...") : file)));
            return true;
        }
        if (path.size() > filenames::maxPathBytes()) {
            reply(connection, message.createErrorReply(
                                  QDBusError::InvalidArgs,
                                  QStringLiteral("the file name is longer than the system takes "
                                                 "(%1 bytes)")
                                      .arg(filenames::maxPathBytes())));
            return true;
        }
        // Cleaned as bytes (Latin-1 keeps one character a byte), since it need not be text.
        const QByteArray cleaned = QDir::cleanPath(QString::fromLatin1(path)).toLatin1();
        queue({action->action, filenames::toArgument(cleaned)});
        reply(connection, message.createReply());
        return true;
    }

    const QList<InstanceAction>& actions() const { return actions_; }

  private:
    static void reply(const QDBusConnection& connection, const QDBusMessage& answer)
    {
        QDBusConnection(connection).send(answer);
    }

    void queue(const InstanceRequest& request)
    {
        QTimer::singleShot(0, this, [this, request] { received_(request); });
    }

    QList<InstanceAction> actions_;
    InstanceChannel::Receiver received_;
};

// Serves the object and takes the name on this connection.
InstanceChannel::Claim claimName(QDBusConnection& bus, DBusInstanceObject& object,
                                 QString* problem = nullptr);

// The name is ours as long as our connection to the bus lasts. When the bus goes away (a session
// bus restarted), the program goes on, and claims the name again on the bus that comes back:
// otherwise the next start would find no program and become a second one. It tries once a second
// while the bus is away, and not at all otherwise.
class DBusNameKeeper : public QObject
{
    Q_OBJECT
  public:
    DBusNameKeeper(DBusInstanceObject& object, const QString& connection)
        : object_(object), connection_(connection)
    {
        retry_.setInterval(1000);
        connect(&retry_, &QTimer::timeout, this, &DBusNameKeeper::reclaim);
        watch();
    }

    QString connection() const { return connection_; }

  private Q_SLOTS:
    void busGone()
    {
        QDBusConnection(connection_).unregisterObject(dbusinstance::ObjectPath);
        retry_.start();
    }

  private:
    void watch()
    {
        // libdbus tells a connection of its own end by this signal, from no one on the bus.
        QDBusConnection(connection_)
            .connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                     QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"),
                     this, SLOT(busGone()));
    }

    void reclaim()
    {
        const QString name = QStringLiteral("scrawlix-session-%1").arg(++attempt_);
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        if (!bus.isConnected()) {
            QDBusConnection::disconnectFromBus(name);
            return;
        }
        switch (claimName(bus, object_)) {
        case InstanceChannel::Claim::First:
            retry_.stop();
            QDBusConnection::disconnectFromBus(connection_);
            connection_ = name;
            watch();
            return;
        case InstanceChannel::Claim::AlreadyRunning:
            // Another Scrawlix came first on the new bus: it serves the session now.
            retry_.stop();
            QDBusConnection::disconnectFromBus(name);
            return;
        case InstanceChannel::Claim::Unavailable:
            QDBusConnection::disconnectFromBus(name);
            return;
        }
    }

    DBusInstanceObject& object_;
    QString connection_;
    QTimer retry_;
    int attempt_ = 0;
};

DBusInstanceChannel::DBusInstanceChannel() = default;

DBusInstanceChannel::~DBusInstanceChannel()
{
    if (keeper_) {
        QDBusConnection bus(keeper_->connection());
        bus.unregisterObject(dbusinstance::ObjectPath);
        bus.unregisterService(dbusinstance::ServiceName);
    }
}

InstanceChannel::Claim claimName(QDBusConnection& bus, DBusInstanceObject& object, QString* problem)
{
    // The object first, so that a request arriving the moment the name is ours finds it.
    if (!bus.registerVirtualObject(dbusinstance::ObjectPath, &object)) {
        if (problem)
            *problem =
                QStringLiteral("cannot serve %1 on the session bus").arg(dbusinstance::ObjectPath);
        return InstanceChannel::Claim::Unavailable;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(dbusinstance::ServiceName,
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return InstanceChannel::Claim::First;
    bus.unregisterObject(dbusinstance::ObjectPath);
    if (!reply.isValid()) {
        if (problem)
            *problem = QStringLiteral("cannot own %1 on the session bus (%2)")
                           .arg(dbusinstance::ServiceName, reply.error().message());
        return InstanceChannel::Claim::Unavailable;
    }
    return InstanceChannel::Claim::AlreadyRunning;
}

InstanceChannel::Claim DBusInstanceChannel::claim(const QList<InstanceAction>& actions,
                                                  Receiver received)
{
    actions_ = actions;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        problem_ = QStringLiteral("no D-Bus session bus (%1)").arg(bus.lastError().message());
        return Claim::Unavailable;
    }
    auto object = std::make_unique<DBusInstanceObject>(actions, std::move(received));
    const Claim claim = claimName(bus, *object, &problem_);
    if (claim == Claim::First) {
        object_ = std::move(object);
        keeper_ = std::make_unique<DBusNameKeeper>(*object_, bus.name());
    }
    return claim;
}

bool DBusInstanceChannel::send(const InstanceRequest& request, QString* error)
{
    const auto known =
        std::find_if(actions_.cbegin(), actions_.cend(),
                     [&](const InstanceAction& a) { return a.action == request.action; });
    if (known == actions_.cend()) {
        *error = QStringLiteral("unknown request \"%1\"").arg(request.action);
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        dbusinstance::ServiceName, dbusinstance::ObjectPath, dbusinstance::Interface,
        dbusinstance::methodName(request.action));
    if (known->takesFile)
        call << request.argument;
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(call, QDBus::Block, CallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    *error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    return false;
}

#include "dbusinstance.moc"
