#include "platform/TaskBar.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

namespace {

xcb_connection_t *x11Connection() {
    auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 =
        application ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

std::vector<xcb_atom_t> currentStates(xcb_connection_t *connection, xcb_window_t window,
                                      xcb_atom_t stateProperty) {
    std::vector<xcb_atom_t> states;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, stateProperty, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        states.assign(atoms, atoms + xcb_get_property_value_length(reply) / sizeof(xcb_atom_t));
    }
    std::free(reply);
    return states;
}

} // namespace

void setShownInTaskBar(QWidget *window, bool shown) {
    xcb_connection_t *connection = x11Connection();
    if (!window || !connection)
        return;
    const auto native = xcb_window_t(window->winId());
    const xcb_atom_t stateProperty = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskBar = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (stateProperty == XCB_ATOM_NONE || skipTaskBar == XCB_ATOM_NONE)
        return;

    const QWindow *handle = window->windowHandle();
    if (handle && handle->isVisible()) {
        // A mapped window's state belongs to the window manager: ask it.
        constexpr uint32_t kRemove = 0, kAdd = 1, kSourceApplication = 1;
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = native;
        message.type = stateProperty;
        message.data.data32[0] = shown ? kRemove : kAdd;
        message.data.data32[1] = skipTaskBar;
        message.data.data32[3] = kSourceApplication;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_send_event(connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&message));
    } else {
        // Before mapping the window sets its own initial state; Qt keeps the states it finds
        // there when it adds its own at show time.
        std::vector<xcb_atom_t> states = currentStates(connection, native, stateProperty);
        std::erase(states, skipTaskBar);
        if (!shown)
            states.push_back(skipTaskBar);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, native, stateProperty, XCB_ATOM_ATOM,
                            32, uint32_t(states.size()), states.data());
    }
    xcb_flush(connection);
}

} // namespace platform
