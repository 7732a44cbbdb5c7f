#include "platform/socket_shutdown.h"

#include <sys/socket.h>

namespace socket_shutdown {

void shutdownBoth(std::intptr_t socket) {
    if (socket >= 0) ::shutdown(static_cast<int>(socket), SHUT_RDWR);
}

}  // namespace socket_shutdown
