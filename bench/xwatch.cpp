// Times how long a command takes to have a visible effect on the X server:
//
//   xwatch map WIDTH HEIGHT -- COMMAND...   until a top-level window of at least WIDTH x HEIGHT
//                                           is mapped (an overlay or a full-screen canvas); a
//                                           second number is the time from the last key press
//                                           the server saw to the mapping ("-" without one)
//   xwatch clipboard -- COMMAND...          until a client takes ownership of the CLIPBOARD
//   xwatch file PATH -- COMMAND...          until PATH appears or is closed after writing; a file
//                                           written through QSaveFile appears complete (linked
//                                           or renamed into place)
//
// The watch is set up first, then COMMAND starts; prints the milliseconds from its start to the
// effect, with three decimals, and exits 0; exits 1 after 30 s without the effect. The command
// keeps running in the background if it has not ended; its exit status is not looked at.
// Waiting on events, not polling, so the watcher takes no processor time from what it measures.

#include <xcb/xcb.h>
#include <xcb/xfixes.h>
#include <xcb/xinput.h>

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: xwatch map W H -- CMD... | clipboard -- CMD... | file PATH -- CMD...\n");
    std::exit(2);
}

pid_t launch(char** argv)
{
    const pid_t pid = fork();
    if (pid == 0) {
        // Our output is the measurement; the command's goes elsewhere, and a command that stays
        // running must not hold our output open.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(argv[0], argv);
        std::perror("xwatch: exec");
        _exit(127);
    }
    return pid;
}

// Waits for the next X event, up to the deadline; null when time is up.
xcb_generic_event_t* nextEvent(xcb_connection_t* c, Clock::time_point deadline)
{
    for (;;) {
        if (xcb_generic_event_t* e = xcb_poll_for_event(c))
            return e;
        if (xcb_connection_has_error(c))
            return nullptr;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return nullptr;
        pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&p, 1, static_cast<int>(left));
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
    }
}

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

int watchMap(int width, int height, char** cmd)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    // Raw key presses reach every client that asks, grabs or not: the moment of a hot key.
    const xcb_query_extension_reply_t* xi = xcb_get_extension_data(c, &xcb_input_id);
    if (xi && xi->present) {
        std::free(xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 2), nullptr));
        struct {
            xcb_input_event_mask_t head;
            uint32_t bits;
        } keys{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS};
        xcb_input_xi_select_events(c, root, 1, &keys.head);
    }
    bool keyed = false;
    Clock::time_point lastKey;
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    const Clock::time_point t0 = Clock::now();
    launch(cmd);
    const Clock::time_point deadline = t0 + std::chrono::seconds(30);
    while (xcb_generic_event_t* e = nextEvent(c, deadline)) {
        const int type = e->response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY) {
            const auto* m = reinterpret_cast<xcb_map_notify_event_t*>(e);
            const xcb_window_t w = m->window;
            std::free(e);
            const double ms = msSince(t0);
            xcb_get_geometry_reply_t* g =
                xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
            const bool big = g && g->width >= width && g->height >= height;
            std::free(g);
            if (big) {
                if (keyed)
                    std::printf("%.3f %.3f\n", ms, msSince(lastKey));
                else
                    std::printf("%.3f -\n", ms);
                return 0;
            }
            continue;
        }
        if (type == XCB_GE_GENERIC && xi && xi->present) {
            const auto* ge = reinterpret_cast<const xcb_ge_generic_event_t*>(e);
            if (ge->extension == xi->major_opcode && ge->event_type == XCB_INPUT_RAW_KEY_PRESS) {
                keyed = true;
                lastKey = Clock::now();
            }
        }
        std::free(e);
    }
    return 1;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : XCB_NONE;
    std::free(r);
    return a;
}

int watchClipboard(char** cmd)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (!ext || !ext->present) {
        std::fprintf(stderr, "xwatch: no XFIXES extension\n");
        return 1;
    }
    std::free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
    const xcb_atom_t clipboard = atom(c, "CLIPBOARD");
    const xcb_window_t me = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, me, root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_xfixes_select_selection_input(c, me, clipboard,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    const Clock::time_point t0 = Clock::now();
    launch(cmd);
    const Clock::time_point deadline = t0 + std::chrono::seconds(30);
    while (xcb_generic_event_t* e = nextEvent(c, deadline)) {
        const int type = e->response_type & 0x7f;
        if (type == ext->first_event + XCB_XFIXES_SELECTION_NOTIFY) {
            const auto* n = reinterpret_cast<xcb_xfixes_selection_notify_event_t*>(e);
            const bool owned = n->owner != XCB_NONE;
            std::free(e);
            if (owned) {
                std::printf("%.3f\n", msSince(t0));
                return 0;
            }
            continue;
        }
        std::free(e);
    }
    return 1;
}

int watchFile(const std::string& path, char** cmd)
{
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0 || inotify_add_watch(fd, dir.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE) < 0)
        return 1;
    const Clock::time_point t0 = Clock::now();
    launch(cmd);
    const Clock::time_point deadline = t0 + std::chrono::seconds(30);
    alignas(inotify_event) char buf[8192];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return 1;
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, static_cast<int>(left));
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        const ssize_t n = read(fd, buf, sizeof buf);
        for (ssize_t i = 0; i < n;) {
            const auto* ev = reinterpret_cast<const inotify_event*>(buf + i);
            if (ev->len > 0 && name == ev->name) {
                std::printf("%.3f\n", msSince(t0));
                return 0;
            }
            i += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    signal(SIGPIPE, SIG_IGN);
    int dash = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            dash = i;
            break;
        }
    }
    if (argc < 2 || dash < 0 || dash + 1 >= argc)
        usage();
    char** cmd = argv + dash + 1;
    const std::string mode = argv[1];
    if (mode == "map" && dash == 4)
        return watchMap(std::atoi(argv[2]), std::atoi(argv[3]), cmd);
    if (mode == "clipboard" && dash == 2)
        return watchClipboard(cmd);
    if (mode == "file" && dash == 3)
        return watchFile(argv[2], cmd);
    usage();
}
