#pragma once

// The desktop portal answers late: a method returns a Request object at once and the answer comes
// as that object's Response signal. The object's path is known in advance from our unique bus name
// and the handle token we pass, so we listen there before calling and cannot miss a quick answer.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantMap>

inline constexpr char kPortalService[] = "org.freedesktop.portal.Desktop";
inline constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";

// The Request path for a token: /org/freedesktop/portal/desktop/request/SENDER/TOKEN, SENDER being
// the unique name without its colon and with its dots as underscores.
QString portalRequestPath(const QString& uniqueName, const QString& token);
// The same for a Session object.
QString portalSessionPath(const QString& uniqueName, const QString& token);

// A fresh token, different for every call in this process.
QString portalToken();

// True for the D-Bus errors that mean there is no such portal at all (nobody owns the name, or
// it lacks the interface or method), rather than a portal that refused.
bool isMissingPortalError(const QString& errorName);

// The outcome of one portal request.
struct PortalAnswer {
    enum Kind { Granted, Refused, Missing, Failed, TimedOut } kind = Failed;
    QVariantMap results; // Granted only
    QString detail;      // what went wrong, for the log
};

// One request: listens on the predicted path, sends the call, and emits answered() once.
class PortalRequest : public QObject
{
    Q_OBJECT
public:
    PortalRequest(const QDBusConnection& bus, QObject* parent = nullptr);

    // The token to put in the call's options as "handle_token".
    QString token() const { return token_; }

    // Sends the call (its options must carry token()); answered() follows, also on failure.
    void send(const QDBusMessage& call);

    // Sends the call and waits up to timeoutMs for the answer, processing events meanwhile.
    PortalAnswer sendAndWait(const QDBusMessage& call, int timeoutMs);

Q_SIGNALS:
    void answered(const PortalAnswer& answer);

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results);

private:
    void listen(const QString& path);
    void finish(const PortalAnswer& answer);

    QDBusConnection bus_;
    QString token_;
    QString path_;
    bool done_ = false;
};
