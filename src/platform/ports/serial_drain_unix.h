#pragma once

#include <QSerialPort>

#include <utility>

// Waiting until a serial line has sent what was written to it: the bytes have left the port's output
// queue and the line, so the printer at its other end has them.
namespace serial_drain {

// The native handle of an open serial port, as QSerialPort::handle() gives it.
using PortHandle = decltype(std::declval<QSerialPort&>().handle());

enum class Result { Drained, Stalled, Failed };

// `handle` is the open port's native handle (a file descriptor). The wait fails as
// stalled when the output queue made no progress for `stallMs`.
Result Drain(PortHandle handle, int stallMs);

}  // namespace serial_drain
