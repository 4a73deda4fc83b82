#include "portalrequest.h"

#include <QAtomicInt>
#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QTimer>

namespace {

QString senderPart(const QString& uniqueName)
{
    QString s = uniqueName;
    if (s.startsWith(QLatin1Char(':')))
        s.remove(0, 1);
    return s.replace(QLatin1Char('.'), QLatin1Char('_'));
}

} // namespace

QString portalRequestPath(const QString& uniqueName, const QString& token)
{
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(senderPart(uniqueName), token);
}

QString portalSessionPath(const QString& uniqueName, const QString& token)
{
    return QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2").arg(senderPart(uniqueName), token);
}

QString portalToken()
{
    static QAtomicInt counter;
    return QStringLiteral("scrawlix%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

bool isMissingPortalError(const QString& errorName)
{
    static const QStringList missing = {
        QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
        QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
        QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
    };
    return missing.contains(errorName);
}

PortalRequest::PortalRequest(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus_(bus), token_(portalToken())
{
}

void PortalRequest::listen(const QString& path)
{
    if (path == path_)
        return;
    if (!path_.isEmpty())
        bus_.disconnect(QString(), path_, QStringLiteral("org.freedesktop.portal.Request"),
                        QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
    path_ = path;
    // QtDBus offers only the string form for signals of objects it has no proxy class for.
    bus_.connect(QString(), path_, QStringLiteral("org.freedesktop.portal.Request"),
                 QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
}

void PortalRequest::send(const QDBusMessage& call)
{
    if (!bus_.isConnected()) {
        finish({PortalAnswer::Missing, {}, QStringLiteral("no session bus")});
        return;
    }
    listen(portalRequestPath(bus_.baseService(), token_));
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError()) {
            const QDBusError e = reply.error();
            finish({isMissingPortalError(e.name()) ? PortalAnswer::Missing : PortalAnswer::Failed, {},
                    e.name() + QStringLiteral(": ") + e.message()});
            return;
        }
        // A portal older than handle tokens answers on a path of its own choosing.
        listen(reply.value().path());
    });
}

PortalAnswer PortalRequest::sendAndWait(const QDBusMessage& call, int timeoutMs)
{
    PortalAnswer answer{PortalAnswer::TimedOut, {}, QStringLiteral("no answer in %1 ms").arg(timeoutMs)};
    QEventLoop loop;
    connect(this, &PortalRequest::answered, &loop, [&](const PortalAnswer& a) {
        answer = a;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    send(call);
    if (!done_)
        loop.exec();
    return answer;
}

void PortalRequest::onResponse(uint response, const QVariantMap& results)
{
    // 0: granted, 1: the user cancelled, 2: ended otherwise.
    if (response == 0)
        finish({PortalAnswer::Granted, results, {}});
    else
        finish({PortalAnswer::Refused, {}, QStringLiteral("the portal answered %1").arg(response)});
}

void PortalRequest::finish(const PortalAnswer& answer)
{
    if (done_)
        return;
    done_ = true;
    Q_EMIT answered(answer);
}
