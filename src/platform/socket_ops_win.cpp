#include "platform/socket_ops.h"

#include <winsock2.h>

namespace socket_ops {

void shutdownBoth(std::intptr_t socket) {
    const auto handle = static_cast<SOCKET>(socket);
    if (handle != INVALID_SOCKET) ::shutdown(handle, SD_BOTH);
}

bool hasPendingInput(std::intptr_t socket) {
    const auto handle = static_cast<SOCKET>(socket);
    if (handle == INVALID_SOCKET) return false;
    WSAPOLLFD p{handle, POLLRDNORM, 0};
    return WSAPoll(&p, 1, 0) > 0;
}

}  // namespace socket_ops
