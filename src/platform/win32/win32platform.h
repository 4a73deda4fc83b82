#pragma once

#include "platform/platform.h"

// The Windows backend: Win32 calls for hot keys, key state, window geometry, screen capture,
// z-order, shell launching and the start-with-Windows entry; Qt for the rest.
std::unique_ptr<Platform> createWin32Platform();
