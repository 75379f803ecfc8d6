#pragma once

namespace platform {

// Settings that must be in place before the application object is made: one Qt pixel is one
// screen pixel (no high-DPI scaling, so the screen's real dots per inch give the twips per pixel
// and window shapes are not scaled), and the X11 platform unless the user chose another.
void prepareEnvironment();

// False, with a message on standard error, when the chosen platform needs a display and none is
// set or the one set cannot be reached; Qt would otherwise abort.
bool displayAvailable();

// App.End after a message box of Form_Load: the program stops at once, no closing handler runs.
[[noreturn]] void endApplication();

} // namespace platform
