#include "platform/single_instance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>
#include <vector>

namespace single_instance {

namespace {
std::vector<std::unique_ptr<QLockFile>> g_locks;
}

QString lockPath(const QString& name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder + QLatin1Char('/') + name + QStringLiteral(".lock");
}

bool acquire(const QString& name) {
    auto lock = std::make_unique<QLockFile>(lockPath(name));
    // Never stale by age: only a lock whose process is gone is taken over (QLockFile checks the pid).
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return false;
    g_locks.push_back(std::move(lock));
    return true;
}

void releaseAll() {
    g_locks.clear();
}

}  // namespace single_instance
