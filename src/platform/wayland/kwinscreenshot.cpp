#include "kwinscreenshot.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QElapsedTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr char kService[] = "org.kde.KWin";
constexpr char kPath[] = "/org/kde/KWin/ScreenShot2";
constexpr char kInterface[] = "org.kde.KWin.ScreenShot2";
// KWin answers within a frame or two; far longer means it is stuck, and the portal takes over.
constexpr int kShotTimeoutMs = 3000;

// How many bytes the answer's picture takes, or -1 when it says no size.
qint64 expectedBytes(const QVariantMap& results)
{
    const qint64 stride = results.value(QStringLiteral("stride")).toLongLong();
    const qint64 height = results.value(QStringLiteral("height")).toLongLong();
    return stride > 0 && height > 0 ? stride * height : -1;
}

} // namespace

QImage kwinShotImage(const QVariantMap& results, const QByteArray& bytes, QString* why)
{
    if (results.value(QStringLiteral("type")).toString() != QLatin1String("raw")) {
        *why = QStringLiteral("an answer of type \"%1\"").arg(results.value(QStringLiteral("type")).toString());
        return {};
    }
    const int width = results.value(QStringLiteral("width")).toInt();
    const int height = results.value(QStringLiteral("height")).toInt();
    const int stride = results.value(QStringLiteral("stride")).toInt();
    const int format = results.value(QStringLiteral("format")).toInt();
    if (width <= 0 || height <= 0 || stride <= 0 || format <= QImage::Format_Invalid
        || format >= QImage::NImageFormats) {
        *why = QStringLiteral("a picture of %1x%2, stride %3, format %4").arg(width).arg(height).arg(stride).arg(format);
        return {};
    }
    if (qint64(stride) * height > bytes.size()) {
        *why = QStringLiteral("%1 bytes for a picture of %2x%3").arg(bytes.size()).arg(width).arg(height);
        return {};
    }
    const QImage view(reinterpret_cast<const uchar*>(bytes.constData()), width, height, stride,
                      QImage::Format(format));
    // The screen is opaque, whatever alpha channel its pixels carry.
    QImage out = view.convertToFormat(QImage::Format_RGB32);
    if (out.constBits() == view.constBits())
        out = view.copy(); // same format: the bytes go with this call
    return out;
}

std::unique_ptr<KWinScreenShot> KWinScreenShot::open(const QDBusConnection& bus)
{
    if (!bus.isConnected())
        return nullptr;
    // The interface exists only where KWin runs with its screenshot plugin: ask its object.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(kService), QLatin1String(kPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QLatin1String(kInterface) << QStringLiteral("Version");
    const QDBusMessage reply = bus.call(call, QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return nullptr;
    return std::unique_ptr<KWinScreenShot>(new KWinScreenShot(bus));
}

QImage KWinScreenShot::shoot(const QRect& area, QString* why)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *why = QStringLiteral("no pipe");
        return {};
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface),
                                                       QStringLiteral("CaptureArea"));
    const QVariantMap options{
        {QStringLiteral("include-cursor"), false},
        {QStringLiteral("native-resolution"), false},
    };
    call << area.x() << area.y() << uint(area.width()) << uint(area.height()) << options
         << QVariant::fromValue(QDBusUnixFileDescriptor(fds[1]));
    QElapsedTimer clock;
    clock.start();
    QDBusPendingCall pending = bus_.asyncCall(call, kShotTimeoutMs);
    // The call keeps a copy of our writing end, so the pipe's end does not tell that KWin is
    // done: its answer says how many bytes to read.
    close(fds[1]);
    QByteArray bytes;
    qint64 expected = -1;
    bool ended = false;
    char chunk[1 << 16];
    while (!ended) {
        if (expected < 0 && pending.isFinished()) {
            const QDBusPendingReply<QVariantMap> reply = pending;
            if (reply.isError())
                break;
            expected = expectedBytes(reply.value());
            if (expected < 0)
                break;
        }
        if (expected >= 0 && bytes.size() >= expected)
            break;
        if (clock.elapsed() > kShotTimeoutMs)
            break;
        pollfd pfd{fds[0], POLLIN, 0};
        const int n = poll(&pfd, 1, 10);
        if (n <= 0)
            continue;
        const ssize_t got = read(fds[0], chunk, sizeof chunk);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0)
            ended = true;
        else
            bytes.append(chunk, int(got));
    }
    close(fds[0]);
    pending.waitForFinished();
    const QDBusPendingReply<QVariantMap> reply = pending;
    if (reply.isError()) {
        *why = reply.error().name() + QStringLiteral(": ") + reply.error().message();
        return {};
    }
    if (bytes.size() < expectedBytes(reply.value())) {
        *why = QStringLiteral("%1 of %2 bytes arrived in %3 ms")
                   .arg(bytes.size())
                   .arg(expectedBytes(reply.value()))
                   .arg(clock.elapsed());
        return {};
    }
    QImage image = kwinShotImage(reply.value(), bytes, why);
    if (!image.isNull() && image.size() != area.size())
        image = image.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}
