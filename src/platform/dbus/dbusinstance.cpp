#include "dbusinstance.h"

#include "platform/filenames.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QObject>
#include <QTimer>

namespace {

// Each action of the command line and its method on the bus.
struct Method {
    const char* action;
    const char* method;
};
constexpr Method Methods[] = {
    {"activate", "Activate"},
    {"capture-screen", "CaptureScreen"},
    {"capture-window", "CaptureWindow"},
    {"show", "Show"},
    {"open", "Open"},
    {"toolbox", "ShowToolbox"},
    {"about", "About"},
    {"configuration", "Configuration"},
    {"help", "Help"},
    {"send-to-tray", "SendToTray"},
    {"exit", "Exit"},
};

QString methodFor(const QString& action)
{
    for (const Method& m : Methods) {
        if (action == QLatin1String(m.action))
            return QLatin1String(m.method);
    }
    return {};
}

// How long a later start waits for the running program to take its request.
constexpr int CallTimeoutMs = 10000;

} // namespace

// The object on the bus. Each method only queues the request and returns at once, so the caller
// is not kept waiting while the request runs (a capture takes a second, and a dialog may open).
class DBusInstanceAdaptor : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.scrawlix.Scrawlix")
  public:
    explicit DBusInstanceAdaptor(InstanceChannel::Receiver received)
        : received_(std::move(received))
    {
    }

  public Q_SLOTS:
    void Activate() { queue({QStringLiteral("activate"), {}}); }
    void CaptureScreen() { queue({QStringLiteral("capture-screen"), {}}); }
    void CaptureWindow() { queue({QStringLiteral("capture-window"), {}}); }
    void Show() { queue({QStringLiteral("show"), {}}); }
    void Open(const QString& file)
    {
        // An empty name asks for a file.
        if (file.isEmpty()) {
            queue({QStringLiteral("open"), {}});
            return;
        }
        // The caller's working folder means nothing here. A name the system would not take is
        // refused at once, rather than keeping the program busy with it.
        const QByteArray path = filenames::fromArgument(file);
        if (path.isEmpty() || path.contains('\0')) {
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("Open takes an absolute file name or a file: URL, not "
                                          "\"%1\"")
                               .arg(file.size() > 80 ? file.left(80) + QStringLiteral("...") : file));
            return;
        }
        if (path.size() > filenames::maxPathBytes()) {
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("the file name is longer than the system takes (%1 "
                                          "bytes)")
                               .arg(filenames::maxPathBytes()));
            return;
        }
        // Cleaned as bytes (Latin-1 keeps one character a byte), since it need not be text.
        const QByteArray cleaned = QDir::cleanPath(QString::fromLatin1(path)).toLatin1();
        queue({QStringLiteral("open"), filenames::toArgument(cleaned)});
    }
    void ShowToolbox() { queue({QStringLiteral("toolbox"), {}}); }
    void About() { queue({QStringLiteral("about"), {}}); }
    void Configuration() { queue({QStringLiteral("configuration"), {}}); }
    void Help() { queue({QStringLiteral("help"), {}}); }
    void SendToTray() { queue({QStringLiteral("send-to-tray"), {}}); }
    void Exit() { queue({QStringLiteral("exit"), {}}); }

  private:
    void queue(const InstanceRequest& request)
    {
        QTimer::singleShot(0, this, [this, request] { received_(request); });
    }

    InstanceChannel::Receiver received_;
};

// Serves the object and takes the name on this connection.
InstanceChannel::Claim claimName(QDBusConnection& bus, DBusInstanceAdaptor& adaptor,
                                 QString* problem = nullptr);

// The name is ours as long as our connection to the bus lasts. When the bus goes away (a session
// bus restarted), the program goes on, and claims the name again on the bus that comes back:
// otherwise the next start would find no program and become a second one. It tries once a second
// while the bus is away, and not at all otherwise.
class DBusNameKeeper : public QObject
{
    Q_OBJECT
  public:
    DBusNameKeeper(DBusInstanceAdaptor& adaptor, const QString& connection)
        : adaptor_(adaptor), connection_(connection)
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
        switch (claimName(bus, adaptor_)) {
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

    DBusInstanceAdaptor& adaptor_;
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

InstanceChannel::Claim claimName(QDBusConnection& bus, DBusInstanceAdaptor& adaptor,
                                 QString* problem)
{
    // The object first, so that a request arriving the moment the name is ours finds it.
    if (!bus.registerObject(dbusinstance::ObjectPath, &adaptor, QDBusConnection::ExportAllSlots)) {
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

InstanceChannel::Claim DBusInstanceChannel::claim(Receiver received)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        problem_ = QStringLiteral("no D-Bus session bus (%1)").arg(bus.lastError().message());
        return Claim::Unavailable;
    }
    auto adaptor = std::make_unique<DBusInstanceAdaptor>(std::move(received));
    const Claim claim = claimName(bus, *adaptor, &problem_);
    if (claim == Claim::First) {
        adaptor_ = std::move(adaptor);
        keeper_ = std::make_unique<DBusNameKeeper>(*adaptor_, bus.name());
    }
    return claim;
}

bool DBusInstanceChannel::send(const InstanceRequest& request, QString* error)
{
    const QString method = methodFor(request.action);
    if (method.isEmpty()) {
        *error = QStringLiteral("unknown request \"%1\"").arg(request.action);
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        dbusinstance::ServiceName, dbusinstance::ObjectPath, dbusinstance::Interface, method);
    if (request.action == QLatin1String("open"))
        call << request.argument;
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(call, QDBus::Block, CallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    *error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    return false;
}

#include "dbusinstance.moc"
