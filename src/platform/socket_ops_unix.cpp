#include "platform/socket_ops.h"

#include <poll.h>
#include <sys/socket.h>

namespace socket_ops {

void shutdownBoth(std::intptr_t socket) {
    if (socket >= 0) ::shutdown(static_cast<int>(socket), SHUT_RDWR);
}

bool hasPendingInput(std::intptr_t socket) {
    if (socket < 0) return false;
    pollfd p{static_cast<int>(socket), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

}  // namespace socket_ops
