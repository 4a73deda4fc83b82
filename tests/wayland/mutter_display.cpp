// Loaded into GNOME Shell by the Wayland scenarios (LD_PRELOAD): Mutter starts XWayland on the
// first free X display from :0, which another session on this machine may hold through an abstract
// socket that this one cannot see; SCRAWLIX_MUTTER_X_DISPLAY names the display to take instead.
#include <dlfcn.h>
#include <cstdlib>

namespace {

__attribute__((constructor)) void chooseDisplay()
{
    const char* number = std::getenv("SCRAWLIX_MUTTER_X_DISPLAY");
    // Mutter's own hook for this, looked up in the process rather than linked, so that the library
    // loads harmlessly into anything that inherits the variable.
    using Override = void (*)(int);
    auto override = reinterpret_cast<Override>(dlsym(RTLD_DEFAULT, "meta_xwayland_override_display_number"));
    if (number && *number && override)
        override(std::atoi(number));
}

} // namespace
