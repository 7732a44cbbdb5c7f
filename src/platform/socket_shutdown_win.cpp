#include "platform/socket_shutdown.h"

#include <winsock2.h>

namespace socket_shutdown {

void shutdownBoth(std::intptr_t socket) {
    const auto handle = static_cast<SOCKET>(socket);
    if (handle != INVALID_SOCKET) ::shutdown(handle, SD_BOTH);
}

}  // namespace socket_shutdown
