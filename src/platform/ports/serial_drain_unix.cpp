#include "platform/ports/serial_drain_unix.h"

#include <QElapsedTimer>
#include <QThread>

#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

namespace serial_drain {

// The driver's output queue is watched first, with the stall time running from its last progress; a line
// whose printer holds it (hardware flow) would otherwise block tcdrain without end. tcdrain then waits for
// the last character to leave the transmitter.
Result Drain(PortHandle handle, int stallMs) {
    const int fd = handle;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    int last = -1;
    int pending = 0;
    while (::ioctl(fd, TIOCOUTQ, &pending) == 0 && pending > 0) {
        if (pending != last) {
            last = pending;
            sinceProgress.restart();
        } else if (sinceProgress.elapsed() >= stallMs) {
            return Result::Stalled;
        }
        QThread::msleep(5);
    }
    while (::tcdrain(fd) != 0) {
        if (errno != EINTR) return Result::Failed;
    }
    return Result::Drained;
}

}  // namespace serial_drain
