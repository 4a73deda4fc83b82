#pragma once

#include "platform/platform.h"

#include <memory>

// The X11 backend: a connection of our own for grabs, raw input and screen reads, Qt's for
// what concerns Qt's own windows.
class X11Connection;
std::unique_ptr<Platform> createX11Platform();

// The services that work alike on an X server and on a Wayland session's XWayland: the keyboard's
// state, the windows' stacking and taskbar entries, the desktop's opener, autostart, dialogs,
// message boxes, notifications and the session bus's instance channel. The hot keys, the
// foreground window and the screen's reading are the caller's.
void addCommonX11Services(Platform& p, const std::shared_ptr<X11Connection>& connection);
