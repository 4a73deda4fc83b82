#include "userfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace userfiles {

#if defined(Q_OS_UNIX)

ReadResult readSmallFile(const QString& path, qint64 maxBytes, QByteArray* bytes)
{
    bytes->clear();
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Absent : ReadResult::Refused;
    if (!S_ISREG(st.st_mode) || st.st_size > maxBytes)
        return ReadResult::Refused;
    // Opened without waiting, and looked at again: the file may have been swapped meanwhile.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return ReadResult::Refused;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxBytes) {
        ::close(fd);
        return ReadResult::Refused;
    }
    // Room for what the file holds now, and one byte more to see it grow past the limit.
    QByteArray data(qMin<qint64>(st.st_size, maxBytes) + 1, Qt::Uninitialized);
    qint64 have = 0;
    for (;;) {
        if (have == data.size()) {
            if (have > maxBytes)
                break;
            data.resize(qMin<qint64>(have * 2, maxBytes + 1));
        }
        const ssize_t n = ::read(fd, data.data() + have, static_cast<size_t>(data.size() - have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return ReadResult::Refused;
        }
        if (n == 0)
            break;
        have += n;
    }
    ::close(fd);
    if (have > maxBytes) // it grew while we read
        return ReadResult::Refused;
    data.truncate(have);
    *bytes = data;
    return ReadResult::Read;
}

bool mayReplace(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(name.constData(), &link) != 0)
        return errno == ENOENT;
    struct stat target {};
    if (::stat(name.constData(), &target) != 0)
        return false; // a link that leads nowhere: the new file would be made wherever it points
    return S_ISREG(target.st_mode) && target.st_uid == ::geteuid();
}

#else

ReadResult readSmallFile(const QString& path, qint64 maxBytes, QByteArray* bytes)
{
    bytes->clear();
    const QFileInfo info(path);
    if (!info.exists())
        return ReadResult::Absent;
    if (!info.isFile() || info.size() > maxBytes)
        return ReadResult::Refused;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return ReadResult::Refused;
    *bytes = f.read(maxBytes + 1);
    if (bytes->size() > maxBytes || f.error() != QFileDevice::NoError) {
        bytes->clear();
        return ReadResult::Refused;
    }
    return ReadResult::Read;
}

bool mayReplace(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

#endif

bool replaceFile(const QString& path, const QByteArray& bytes)
{
    if (!mayReplace(path))
        return false;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(folder) && !QDir().mkpath(folder))
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace userfiles
