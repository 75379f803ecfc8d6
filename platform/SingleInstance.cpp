#include "platform/SingleInstance.h"

#include <QByteArray>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

QString instanceLockPath() {
    // Qt takes the session's folder only when it is a real folder of this user's alone (mode 0700,
    // not a link), and falls back to one in the temporary folder that it creates or checks the
    // same way; it gives nothing when neither can be had.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/zarnik.lock");
}

bool previousInstanceRunning() {
    // Computed once: the answer must not change when the same copy asks again.
    static const bool running = [] {
        const QString path = instanceLockPath();
        if (path.isEmpty())
            return false; // no safe place for a lock: do not refuse to start
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return false;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return false; // the descriptor stays open, and so the lock stays ours
        ::close(fd);
        return true;
    }();
    return running;
}

} // namespace platform
