#pragma once

#include <QString>

// True in a Wayland session: the session type says so, or a Wayland display is set. The program's
// windows still run on XWayland there; only the services XWayland cannot give change backend.
bool isWaylandSession(const QString& sessionType, const QString& waylandDisplay);
