#pragma once

#include <QString>

namespace platform {

// App.PrevInstance: true when another copy of the program already runs in this user session.
// The first call takes the session's lock and keeps it for the life of the process; the lock dies
// with the process, so a copy that crashed or was killed never blocks a later start.
bool previousInstanceRunning();

// Where the lock lives: the session's runtime folder (XDG_RUNTIME_DIR), or runtime-<user> in the
// temporary folder when the session has none; empty when neither is this user's alone.
QString instanceLockPath();

} // namespace platform
