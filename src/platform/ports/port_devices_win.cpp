#include "platform/ports/port_devices.h"

namespace port_devices {

QString DefaultDevicePath(const QString& portName) {
    int n = 0;
    if (IsParallel(portName) || ComNumber(portName, &n))
        return QStringLiteral("\\\\.\\") + portName.toUpper();
    return QString();
}

}  // namespace port_devices
