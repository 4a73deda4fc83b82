#include "snapshot.h"

#include "platform/foregroundwindow.h"

#include <limits>

std::optional<QRect> snapshotRect(const WindowRect& r)
{
    const qint64 w = qint64(r.right) - r.left - 2;
    const qint64 h = qint64(r.bottom) - r.top - 2;
    if (w > std::numeric_limits<qint32>::max() || h > std::numeric_limits<qint32>::max() ||
        w < std::numeric_limits<qint32>::min() || h < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return QRect(1, 1, static_cast<int>(w), static_cast<int>(h));
}
