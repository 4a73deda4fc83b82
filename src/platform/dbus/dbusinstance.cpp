#include "dbusinstance.h"

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
        // An empty name asks for a file. The caller's working folder means nothing here.
        if (!file.isEmpty() && !QDir::isAbsolutePath(file)) {
            sendErrorReply(
                QDBusError::InvalidArgs,
                QStringLiteral("Open takes an absolute file name, not \"%1\"").arg(file));
            return;
        }
        queue({QStringLiteral("open"), file.isEmpty() ? file : QDir::cleanPath(file)});
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

DBusInstanceChannel::DBusInstanceChannel() = default;

DBusInstanceChannel::~DBusInstanceChannel()
{
    if (adaptor_) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(dbusinstance::ObjectPath);
        bus.unregisterService(dbusinstance::ServiceName);
    }
}

InstanceChannel::Claim DBusInstanceChannel::claim(Receiver received)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        problem_ = QStringLiteral("no D-Bus session bus (%1)").arg(bus.lastError().message());
        return Claim::Unavailable;
    }
    // The object first, so that a request arriving the moment the name is ours finds it.
    auto adaptor = std::make_unique<DBusInstanceAdaptor>(std::move(received));
    if (!bus.registerObject(dbusinstance::ObjectPath, adaptor.get(),
                            QDBusConnection::ExportAllSlots)) {
        problem_ =
            QStringLiteral("cannot serve %1 on the session bus").arg(dbusinstance::ObjectPath);
        return Claim::Unavailable;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(dbusinstance::ServiceName,
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        adaptor_ = std::move(adaptor);
        return Claim::First;
    }
    bus.unregisterObject(dbusinstance::ObjectPath);
    if (!reply.isValid()) {
        problem_ = QStringLiteral("cannot own %1 on the session bus (%2)")
                       .arg(dbusinstance::ServiceName, reply.error().message());
        return Claim::Unavailable;
    }
    return Claim::AlreadyRunning;
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
