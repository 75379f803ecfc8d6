#pragma once

namespace platform {

// The application's version numbers, as App.Major, App.Minor and App.Revision give them.
struct AppVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// The numbers this build was made with (from the project's CMake version).
AppVersion applicationVersion();

} // namespace platform
