#include "platform/SingleInstance.h"

#include <QByteArray>
#include <QDir>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QString instanceLockPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        folder = QDir::tempPath() + QStringLiteral("/zarnik-%1").arg(::getuid());
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
    }
    return folder + QStringLiteral("/zarnik.lock");
}

bool previousInstanceRunning() {
    // Computed once: the answer must not change when the same copy asks again.
    static const bool running = [] {
        const QByteArray path = QFile::encodeName(instanceLockPath());
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return false; // no place for a lock: do not refuse to start
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return false; // the descriptor stays open, and so the lock stays ours
        ::close(fd);
        return true;
    }();
    return running;
}

} // namespace platform
