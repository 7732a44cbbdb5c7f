#include "support/small_file_system.h"

#include <QFile>

#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <cstring>

namespace {
QString systemError(const char* what) {
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}
}  // namespace

SmallFileSystem::SmallFileSystem(int kib) {
    if (!m_dir.isValid()) {
        m_problem = QStringLiteral("no temporary folder");
        return;
    }
    // A namespace of its own, whose mounts nobody else sees, and which sends none of them to the host.
    if (unshare(CLONE_NEWNS) != 0) {
        m_problem = systemError("unshare");
        return;
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        m_problem = systemError("mount --make-rprivate /");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0700";
    if (mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
        m_problem = systemError("mount tmpfs");
        return;
    }
    m_mounted = true;
}

SmallFileSystem::~SmallFileSystem() {
    if (m_mounted) umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void SmallFileSystem::fill(qint64 keep) {
    struct statvfs fs {};
    if (statvfs(QFile::encodeName(m_dir.path()).constData(), &fs) != 0) return;
    const qint64 free = qint64(fs.f_bavail) * qint64(fs.f_frsize);
    QFile filler(m_dir.path() + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return;
    const QByteArray page(4096, 'f');
    for (qint64 left = free - keep; left > 0; left -= page.size())
        if (filler.write(page) != page.size()) break;
}
