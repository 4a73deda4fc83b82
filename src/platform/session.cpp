#include "session.h"

bool isWaylandSession(const QString& sessionType, const QString& waylandDisplay)
{
    return sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0 ||
           !waylandDisplay.isEmpty();
}
