#include "platform/Application.h"

#include <QByteArray>
#include <QtGlobal>

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
    if (!platformName.startsWith("xcb") || !qEnvironmentVariableIsEmpty("DISPLAY"))
        return true;
    std::fprintf(stderr, "zarnik: no X display (the DISPLAY variable is not set); "
                         "start Zarnik from a graphical session.\n");
    return false;
}

void endApplication() {
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace platform
