#include "platform/Version.h"

#include "BuildInfo.h"

namespace platform {

AppVersion applicationVersion() {
    return {ZARNIK_VERSION_MAJOR, ZARNIK_VERSION_MINOR, ZARNIK_VERSION_PATCH};
}

} // namespace platform
