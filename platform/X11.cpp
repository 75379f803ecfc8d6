#include "platform/X11.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace platform::x11 {

xcb_connection_t *connection() {
    auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 =
        application ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t *connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name) {
    // An atom stays the same for as long as the server runs: ask once per connection, since each
    // question waits for the server's answer (several of them before the main window appears).
    static xcb_connection_t *known = nullptr;
    static std::map<std::string, xcb_atom_t, std::less<>> atoms;
    if (connection != known) {
        known = connection;
        atoms.clear();
    }
    if (const auto found = atoms.find(std::string_view(name)); found != atoms.end())
        return found->second;
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    if (!reply)
        return XCB_ATOM_NONE;
    atoms.emplace(name, reply->atom);
    return reply->atom;
}

std::vector<uint32_t> property32(xcb_connection_t *connection, xcb_window_t window,
                                 xcb_atom_t property, xcb_atom_t type) {
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, property, type, 0, 1024);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto *values = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / sizeof(uint32_t)};
}

void sendToWindowManager(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t type,
                         const std::array<uint32_t, 5> &data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection, 0, rootWindow(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

bool windowManagerSupports(xcb_connection_t *connection, xcb_atom_t hint) {
    // The supported list stays on the root window after its manager has gone: the manager's check
    // window, pointing at itself, says that one is running.
    const xcb_atom_t check = atom(connection, "_NET_SUPPORTING_WM_CHECK");
    const std::vector<uint32_t> manager =
        property32(connection, rootWindow(connection), check, XCB_ATOM_WINDOW);
    if (manager.empty() || property32(connection, manager[0], check, XCB_ATOM_WINDOW) != manager)
        return false;
    const std::vector<uint32_t> supported = property32(
        connection, rootWindow(connection), atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    return std::find(supported.begin(), supported.end(), hint) != supported.end();
}

} // namespace platform::x11
