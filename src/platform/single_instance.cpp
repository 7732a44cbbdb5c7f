#include "platform/single_instance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <vector>

#ifdef Q_OS_WIN
#include <QLockFile>

#include <memory>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace single_instance {

namespace {

#ifdef Q_OS_WIN
std::vector<std::unique_ptr<QLockFile>> g_locks;
#else
// Open descriptors that hold an exclusive lock on their file. The kernel drops the lock with the process,
// so a copy that crashed never blocks the next start, and nothing has to be written or synced.
std::vector<int> g_locks;
#endif

}  // namespace

QString lockPath(const QString& name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder + QLatin1Char('/') + name + QStringLiteral(".lock");
}

bool acquire(const QString& name) {
#ifdef Q_OS_WIN
    auto lock = std::make_unique<QLockFile>(lockPath(name));
    lock->setStaleLockTime(0);  // only a lock whose process is gone is taken over
    if (!lock->tryLock(0)) return false;
    g_locks.push_back(std::move(lock));
    return true;
#else
    const int fd = ::open(QFile::encodeName(lockPath(name)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no runtime folder to lock in: do not keep the program from starting
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    g_locks.push_back(fd);
    return true;
#endif
}

void releaseAll() {
#ifndef Q_OS_WIN
    for (int fd : g_locks) ::close(fd);
#endif
    g_locks.clear();
}

}  // namespace single_instance
