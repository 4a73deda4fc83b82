#pragma once

#include "platform/platform.h"

// The X11 backend, over Qt's own xcb connection where it can and a private one where it must.
std::unique_ptr<Platform> createX11Platform();
