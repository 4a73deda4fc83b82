#pragma once

// The platform for a windowing system Scrawlix has no backend for (Qt's offscreen or minimal
// platform, or a system this build does not know): Qt's own services where Qt offers them, and
// services that do nothing and say so where it does not. The user is told once what does not work.

#include "platform/platform.h"

std::unique_ptr<Platform> createNullPlatform(const QString& qpaName);

// What the user is told on such a platform.
QString nullPlatformNotice(const QString& qpaName);
