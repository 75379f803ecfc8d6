#include "platform/TaskBar.h"

#include "platform/X11.h"

#include <QWidget>
#include <QWindow>

namespace platform {

void setShownInTaskBar(QWidget *window, bool shown) {
    xcb_connection_t *connection = x11::connection();
    if (!window || !connection)
        return;
    const auto native = xcb_window_t(window->winId());
    const xcb_atom_t stateProperty = x11::atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskBar = x11::atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (stateProperty == XCB_ATOM_NONE || skipTaskBar == XCB_ATOM_NONE)
        return;

    const QWindow *handle = window->windowHandle();
    if (handle && handle->isVisible()) {
        // A mapped window's state belongs to the window manager: ask it.
        constexpr uint32_t kRemove = 0, kAdd = 1, kSourceApplication = 1;
        x11::sendToWindowManager(connection, native, stateProperty,
                                 {shown ? kRemove : kAdd, skipTaskBar, 0, kSourceApplication, 0});
        return;
    }
    // Before mapping the window sets its own initial state; Qt keeps the states it finds there when
    // it adds its own at show time.
    std::vector<uint32_t> states =
        x11::property32(connection, native, stateProperty, XCB_ATOM_ATOM);
    std::erase(states, skipTaskBar);
    if (!shown)
        states.push_back(skipTaskBar);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, native, stateProperty, XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
    xcb_flush(connection);
}

} // namespace platform
