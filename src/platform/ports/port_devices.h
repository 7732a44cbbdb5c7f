#pragma once

#include <QString>

// The ports a thermal label printer hangs on, by the names users know: the parallel port "LPT1" and the
// serial ports "COM1", "COM2" ... and the device each name stands for on this system.
namespace port_devices {

// "LPT1" for port type 0, "COMn" for port type n.
QString PortName(int portType);
bool IsParallel(const QString& portName);
// The number n of "COMn" (case ignored); false for any other name or n below 1.
bool ComNumber(const QString& portName, int* number);
// The system's device for a port name; empty for a name that is no port.
//   Linux:   LPT1 -> /dev/usb/lp0 when it exists (label printers mostly come as USB printer-class
//            devices), otherwise /dev/lp0; COMn -> /dev/ttyS(n-1).
//   Windows: LPT1 -> \\.\LPT1; COMn -> \\.\COMn.
QString DefaultDevicePath(const QString& portName);

// How a device answers when it is opened for writing, as a print run will open it.
enum class DeviceState { Writable, Missing, Refused, Failed };
DeviceState WritableState(const QString& device);

}  // namespace port_devices
