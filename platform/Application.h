#pragma once

#include <QString>

#include <memory>

class QApplication;

namespace platform {

// The Qt platform to run on, from the user's choice (Qt's -platform option, else QT_QPA_PLATFORM).
// Window shapes and the stacking state are X11 features: with no choice, or a Wayland one (a list
// that names a Wayland platform first included), the program runs on X11, which a Wayland desktop
// offers through XWayland. Any other choice (xcb, offscreen, minimal, vnc) is kept as given.
QString choosePlatform(const QString &commandLineChoice, const QString &environmentChoice);

// False, with a message on standard error, when the platform needs an X display and none is set
// (Qt's -display option, else DISPLAY) or the one set cannot be reached; Qt would otherwise abort.
bool displayAvailable(const QString &platformName, const QString &displayOption);

// The application object on the given platform, with one Qt pixel to one screen pixel: the
// screen's real dots per inch give the twips per pixel, and window shapes are not scaled. The Qt
// settings in the environment that scale the program are put aside while Qt reads them, when the
// object is made, and given back right after, so that the programs this one starts (a browser
// from the about window) run with the user's own. The platform goes in as an argument, which those
// programs never see. QT_FONT_DPI is left alone and honoured.
std::unique_ptr<QApplication> makeApplication(int argc, char *argv[], const QString &platformName);

// App.End after a message box of Form_Load: the program stops at once, no closing handler runs.
[[noreturn]] void endApplication();

} // namespace platform
