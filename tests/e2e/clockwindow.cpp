// clockwindow counter X Y W H: a window that shows the wall clock, repainted every 10 ms: its
//   colour is the milliseconds since the epoch, modulo 2^24, as 0xRRGGBB. At every key press the
//   server sees, it prints "press MS": the clock it showed then.
// clockwindow flip: a window over the whole screen, filled with one colour and then the other
//   every 10 to 15 ms, so that a picture of two moments of it has two colours.
// Both are override-redirect, so no window manager places them, and below every other window, as
// another program's window under ours is. Runs until killed; prints "shown" once it is mapped.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace {

unsigned long long nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<unsigned long long>(ts.tv_sec) * 1000ull + ts.tv_nsec / 1000000;
}

} // namespace

int main(int argc, char** argv)
{
    const bool flip = argc == 2 && std::strcmp(argv[1], "flip") == 0;
    if (!flip && !(argc == 6 && std::strcmp(argv[1], "counter") == 0)) {
        std::fprintf(stderr, "usage: clockwindow counter X Y W H | clockwindow flip\n");
        return 2;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    int x = 0, y = 0, w = s->width_in_pixels, h = s->height_in_pixels;
    if (!flip) {
        x = std::atoi(argv[2]);
        y = std::atoi(argv[3]);
        w = std::atoi(argv[4]);
        h = std::atoi(argv[5]);
    }
    const xcb_window_t win = xcb_generate_id(c);
    const uint32_t values[] = {s->black_pixel, 1};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, win, s->root, int16_t(x), int16_t(y), uint16_t(w),
                      uint16_t(h), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, s->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    const uint32_t below = XCB_STACK_MODE_BELOW;
    xcb_configure_window(c, win, XCB_CONFIG_WINDOW_STACK_MODE, &below);
    xcb_map_window(c, win);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, win, 0, nullptr);
    if (!flip) {
        struct {
            xcb_input_event_mask_t head;
            uint32_t mask;
        } keys = {{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS};
        std::free(xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 0), nullptr));
        xcb_input_xi_select_events(c, s->root, 1, &keys.head);
    }
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    std::puts("shown");
    std::fflush(stdout);

    const xcb_rectangle_t all{0, 0, uint16_t(w), uint16_t(h)};
    unsigned flips = 0;
    for (;;) {
        const uint32_t colour = flip ? ((flips++ & 1) ? 0x10e020u : 0xe02010u)
                                     : static_cast<uint32_t>(nowMs() & 0xffffff);
        xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &colour);
        xcb_poly_fill_rectangle(c, win, gc, 1, &all);
        // A round trip: the fill is on the screen before the clock moves on.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        if (xcb_connection_has_error(c))
            return 0;
        if (flip) {
            usleep(10000 + (flips * 7919 % 5000));
            continue;
        }
        // The clock's next step, or a key press before it.
        pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
        const unsigned long long next = nowMs() + 10;
        for (unsigned long long now = nowMs(); now < next; now = nowMs()) {
            poll(&p, 1, int(next - now));
            while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
                if ((e->response_type & 0x7f) == XCB_GE_GENERIC) {
                    std::printf("press %u\n", colour);
                    std::fflush(stdout);
                }
                std::free(e);
            }
        }
    }
}
