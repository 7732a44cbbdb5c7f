#include "platform/single_instance.h"

#include <QLockFile>

#include <memory>
#include <vector>

namespace single_instance {

namespace {
// Lock files held open by this process; a lock whose process is gone is taken over.
std::vector<std::unique_ptr<QLockFile>> g_locks;
}  // namespace

bool acquire(const QString& name) {
    auto lock = std::make_unique<QLockFile>(lockPath(name));
    lock->setStaleLockTime(0);  // only a lock whose process is gone is taken over
    if (!lock->tryLock(0)) return false;
    g_locks.push_back(std::move(lock));
    return true;
}

void releaseAll() {
    g_locks.clear();
}

}  // namespace single_instance
