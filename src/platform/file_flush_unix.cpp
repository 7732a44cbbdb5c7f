#include "platform/file_flush.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace file_flush {

QString flushToDisk(int handle) {
    if (::fsync(handle) == 0 || errno == EINVAL || errno == EROFS) return QString();
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace file_flush
