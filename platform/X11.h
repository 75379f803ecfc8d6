#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <vector>

// What the platform files that talk to the X server share: Qt's own connection and the few
// requests they all make. For platform/ alone.
namespace platform::x11 {

// Qt's connection to the X server, or nullptr when the program runs on another platform.
xcb_connection_t *connection();

xcb_window_t rootWindow(xcb_connection_t *connection);
xcb_atom_t atom(xcb_connection_t *connection, const char *name);

// A property of 32-bit values (cardinals, atoms, windows); empty when the window has none of that
// type.
std::vector<uint32_t> property32(xcb_connection_t *connection, xcb_window_t window,
                                 xcb_atom_t property, xcb_atom_t type);

// A client message about `window` to the window manager, the way the desktop standards ask for
// changes to a managed window.
void sendToWindowManager(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t type,
                         const std::array<uint32_t, 5> &data);

// Whether a window manager is running and says it understands `hint`.
bool windowManagerSupports(xcb_connection_t *connection, xcb_atom_t hint);

} // namespace platform::x11
