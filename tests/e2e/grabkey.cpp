// grabkey KEYCODE: holds Super + the key on the root window, as another program's hot key does,
// until it is killed. Prints "grabbed" once the server has granted the grab.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <xcb/xcb.h>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_keycode_t key = static_cast<xcb_keycode_t>(std::atoi(argv[1]));
    // Every lock combination (Caps Lock, Num Lock on Mod2), so no other client can have any.
    const uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
    for (int i = 0; i < 4; ++i) {
        xcb_generic_error_t* e = xcb_request_check(
            c, xcb_grab_key_checked(c, 0, root, XCB_MOD_MASK_4 | locks[i], key, XCB_GRAB_MODE_ASYNC,
                                    XCB_GRAB_MODE_ASYNC));
        if (e)
            return 1;
    }
    std::puts("grabbed");
    std::fflush(stdout);
    for (;;)
        pause();
}
