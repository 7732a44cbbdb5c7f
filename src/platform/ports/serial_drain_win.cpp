#include "platform/ports/serial_drain.h"

#include <windows.h>

namespace serial_drain {

// The port's write time-outs bound the flush; it returns when the driver has sent everything.
Result Drain(PortHandle handle, int stallMs) {
    (void)stallMs;
    return FlushFileBuffers(handle) ? Result::Drained : Result::Failed;
}

}  // namespace serial_drain
