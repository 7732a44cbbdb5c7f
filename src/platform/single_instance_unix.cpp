#include "platform/single_instance.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <vector>

namespace single_instance {

namespace {
// Open descriptors that hold an exclusive lock on their file. The kernel drops the lock with the process,
// so a copy that crashed never blocks the next start, and nothing has to be written or synced.
std::vector<int> g_locks;
}  // namespace

bool acquire(const QString& name) {
    const int fd = ::open(QFile::encodeName(lockPath(name)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no runtime folder to lock in: do not keep the program from starting
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    g_locks.push_back(fd);
    return true;
}

void releaseAll() {
    for (int fd : g_locks) ::close(fd);
    g_locks.clear();
}

}  // namespace single_instance
