#include "localinstance.h"

#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {

// Written first by a later start, so that a stranger connecting by chance is not taken for one.
constexpr quint32 Magic = 0x53435258; // "SCRX"
constexpr char Ack = 'k';

} // namespace

LocalInstanceChannel::LocalInstanceChannel(const QString& serverName) : name_(serverName) {}

LocalInstanceChannel::~LocalInstanceChannel() = default;

bool LocalInstanceChannel::answers() const
{
    QLocalSocket probe;
    probe.connectToServer(name_);
    const bool connected = probe.waitForConnected(timeoutMs);
    probe.abort();
    return connected;
}

InstanceChannel::Claim LocalInstanceChannel::claim(const QList<InstanceAction>&, Receiver received)
{
    // A request travels as its action's name: the running program ignores one it does not take.
    if (answers())
        return Claim::AlreadyRunning;
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name_)) {
        // A socket file left behind by a program that crashed answers nobody; one that answers
        // now belongs to a program that started at the same moment as this one.
        if (server->serverError() == QAbstractSocket::AddressInUseError) {
            if (answers())
                return Claim::AlreadyRunning;
            QLocalServer::removeServer(name_);
        }
        if (!server->isListening() && !server->listen(name_)) {
            problem_ = QStringLiteral("cannot listen on the local socket %1 (%2)")
                           .arg(name_, server->errorString());
            return Claim::Unavailable;
        }
    }
    received_ = std::move(received);
    server_ = std::move(server);
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(),
                     [this] { takeConnection(); });
    return Claim::First;
}

void LocalInstanceChannel::takeConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A caller that never finishes its request is dropped.
        QTimer::singleShot(timeoutMs, socket, [socket] { socket->abort(); });
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            quint32 magic = 0;
            in >> magic;
            if (in.status() == QDataStream::Ok && magic != Magic) {
                in.abortTransaction();
                socket->abort();
                return;
            }
            InstanceRequest request;
            in >> request.action >> request.argument;
            if (!in.commitTransaction())
                return; // not all there yet
            socket->write(&Ack, 1);
            socket->flush();
            socket->disconnectFromServer();
            // From the event loop, as the request of the other channels arrives.
            QTimer::singleShot(0, server_.get(), [this, request] { received_(request); });
        });
    }
}

bool LocalInstanceChannel::send(const InstanceRequest& request, QString* error)
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs)) {
        *error = socket.errorString();
        return false;
    }
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << Magic << request.action << request.argument;
    socket.write(message);
    // A write that went through at once leaves nothing to wait for (so under Wine): only bytes
    // still pending count as a failure.
    if (!socket.waitForBytesWritten(timeoutMs) && socket.bytesToWrite() > 0) {
        *error = socket.errorString();
        return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            *error =
                QStringLiteral("the running program did not answer (%1)").arg(socket.errorString());
            return false;
        }
    }
    char answer = 0;
    socket.read(&answer, 1);
    if (answer != Ack) {
        *error = QStringLiteral("the running program gave an unexpected answer");
        return false;
    }
    return true;
}
