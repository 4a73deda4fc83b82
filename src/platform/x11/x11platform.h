#pragma once

#include "platform/platform.h"

// The X11 backend: a connection of our own for grabs, raw input and screen reads, Qt's for
// what concerns Qt's own windows.
class X11Connection;
std::unique_ptr<Platform> createX11Platform(std::shared_ptr<X11Connection> connection = {});
