#pragma once

#include <cstdint>

// What the database connection does with its socket beside the client library. `socket` is the system's
// handle as the library gives it; a negative (Linux) or invalid (Windows) handle is ignored.
namespace socket_ops {

// Shuts both directions of a connected socket from another thread, so that a call blocked on it returns
// at once with an error (a statement the server did not end).
void shutdownBoth(std::intptr_t socket);

// Whether the socket has something to read (or its end) while no statement runs: an idle connection that
// the server closed or cut.
bool hasPendingInput(std::intptr_t socket);

}  // namespace socket_ops
