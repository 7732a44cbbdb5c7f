#pragma once

#include <cstdint>

namespace socket_shutdown {

// Shuts both directions of a connected socket from another thread, so that a call blocked on it returns
// at once with an error (a statement the server did not end). `socket` is the system's handle as the
// client library gives it; a negative (Linux) or invalid (Windows) handle is ignored.
void shutdownBoth(std::intptr_t socket);

}  // namespace socket_shutdown
