#include "filenames.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <climits>

#if defined(Q_OS_LINUX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace filenames {

namespace {

const QByteArray HeldPrefix = QByteArrayLiteral("/proc/self/fd/");

bool isText(const QByteArray& bytes)
{
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

} // namespace

qsizetype maxPathBytes()
{
#if defined(PATH_MAX)
    return PATH_MAX - 1; // PATH_MAX counts the terminating NUL
#else
    return 32767;
#endif
}

QString toArgument(const QByteArray& localPath)
{
    if (isText(localPath))
        return QFile::decodeName(localPath);
    // '/' stays as it is, every byte but the unreserved ASCII ones is escaped.
    return QStringLiteral("file://") + QString::fromLatin1(localPath.toPercentEncoding("/"));
}

QByteArray fromArgument(const QString& argument)
{
    if (!argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        if (!QDir::isAbsolutePath(argument))
            return {};
        return QFile::encodeName(argument);
    }
#if defined(Q_OS_WIN)
    const QUrl url(argument);
    return url.isLocalFile() ? QFile::encodeName(url.toLocalFile()) : QByteArray();
#else
    // file:/path, file:///path or file://localhost/path; the escapes are the name's bytes.
    QString rest = argument.mid(5);
    if (rest.startsWith(QLatin1String("//"))) {
        rest = rest.mid(2);
        const qsizetype slash = rest.indexOf(QLatin1Char('/'));
        const QString host = slash < 0 ? rest : rest.left(slash);
        if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
            return {};
        rest = slash < 0 ? QString() : rest.mid(slash);
    }
    if (!rest.startsWith(QLatin1Char('/')))
        return {};
    return QByteArray::fromPercentEncoding(rest.toUtf8());
#endif
}

HeldName::HeldName(const QByteArray& localPath)
{
    name_ = QFile::decodeName(localPath);
#if defined(Q_OS_LINUX)
    if (isText(localPath))
        return;
    // O_PATH neither reads the file nor waits on a pipe: it only keeps hold of it by its bytes.
    fd_ = ::open(localPath.constData(), O_PATH | O_CLOEXEC);
    if (fd_ >= 0)
        name_ = QString::fromLatin1(HeldPrefix) + QString::number(fd_);
#endif
}

HeldName::~HeldName()
{
#if defined(Q_OS_LINUX)
    if (fd_ >= 0)
        ::close(fd_);
#endif
}

QString shownName(const QString& name)
{
#if defined(Q_OS_LINUX)
    if (name.startsWith(QLatin1String(HeldPrefix))) {
        char target[PATH_MAX];
        const ssize_t n =
            ::readlink(QFile::encodeName(name).constData(), target, sizeof target);
        if (n > 0)
            return QFile::decodeName(QByteArray(target, static_cast<qsizetype>(n)));
    }
#endif
    return name;
}

} // namespace filenames
