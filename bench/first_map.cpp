// Times a program's start-up from outside, as the X server sees it: from starting the process to
// the first map of its main window. Then ends the program and gives its peak resident set.
//
// Usage: first_map PROGRAM [ARGUMENT...]
// Prints "<milliseconds> <peak KiB> <processor milliseconds>", the last being the time the program
// ran on a processor (user and system), which depends less on what else the machine is doing.
// Needs a display with no window manager, where a top-level window's map reaches whoever watches
// the root window's children (SubstructureNotify).
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds kGiveUpAfter{30};

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

[[noreturn]] void fail(const char *message) {
    std::fprintf(stderr, "first_map: %s\n", message);
    std::exit(1);
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name) {
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The process that owns a window, as Qt and other toolkits publish it; 0 when unknown.
pid_t ownerOf(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t pidAtom) {
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1),
            nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
        return 0;
    return pid_t(*static_cast<const uint32_t *>(xcb_get_property_value(reply.get())));
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 2)
        fail("usage: first_map PROGRAM [ARGUMENT...]");
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection))
        fail("cannot open the display");
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const xcb_atom_t pidAtom = atom(connection, "_NET_WM_PID");
    // Watching starts before the program does: the server has taken the mask once this returns.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    Reply<xcb_generic_error_t> refused(
        xcb_request_check(connection, xcb_change_window_attributes_checked(
                                          connection, root, XCB_CW_EVENT_MASK, &mask)),
        &std::free);
    if (refused)
        fail("cannot watch the root window");

    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[1], nullptr, nullptr, argv + 1, environ) != 0)
        fail("cannot start the program");

    pollfd server{xcb_get_file_descriptor(connection), POLLIN, 0};
    int status = 0;
    rusage usage{};
    for (;;) {
        while (Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection), &std::free}) {
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const Clock::time_point mapped = Clock::now();
            const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event.get());
            // Menus and tooltips are override-redirect; the main window is not.
            if (map->override_redirect || ownerOf(connection, map->window, pidAtom) != child)
                continue;
            kill(child, SIGKILL);
            if (wait4(child, &status, 0, &usage) != child)
                fail("lost the program");
            const auto milliseconds = [](const timeval &time) {
                return double(time.tv_sec) * 1e3 + double(time.tv_usec) / 1e3;
            };
            std::printf("%.3f %ld %.3f\n",
                        std::chrono::duration<double, std::milli>(mapped - start).count(),
                        usage.ru_maxrss,
                        milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime));
            xcb_disconnect(connection);
            return 0;
        }
        if (wait4(child, &status, WNOHANG, &usage) == child)
            fail("the program ended before its window was mapped");
        if (xcb_connection_has_error(connection) || Clock::now() - start > kGiveUpAfter) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            fail("no map of the program's window seen");
        }
        poll(&server, 1, 50);
    }
}
