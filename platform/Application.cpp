#include "platform/Application.h"

#include <QByteArray>
#include <QtGlobal>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

void prepareEnvironment() {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // A Wayland desktop runs the program through XWayland: window shapes and the stacking state
    // are X11 features.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

bool displayAvailable() {
    const QByteArray platformName = qgetenv("QT_QPA_PLATFORM");
    if (!platformName.startsWith("xcb"))
        return true;
    const QByteArray displayName = qgetenv("DISPLAY");
    if (displayName.isEmpty()) {
        std::fprintf(stderr, "zarnik: no X display (the DISPLAY variable is not set); "
                             "start Zarnik from a graphical session.\n");
        return false;
    }
    // Qt aborts when it cannot reach the display; try it first and say what went wrong instead.
    // The trial connection stays open while the program runs: an X server with no other client
    // resets when its last connection closes, and Qt's own connection would meet it resetting.
    static xcb_connection_t *const connection = xcb_connect(displayName.constData(), nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    if (!reached)
        std::fprintf(stderr,
                     "zarnik: cannot open the X display \"%s\"; "
                     "start Zarnik from a graphical session.\n",
                     displayName.constData());
    return reached;
}

void endApplication() {
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace platform
