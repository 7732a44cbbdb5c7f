#include "platform/ports/port_devices.h"

#include <QFileInfo>

namespace port_devices {

QString DefaultDevicePath(const QString& portName) {
    if (IsParallel(portName)) {
        const QString usb = QStringLiteral("/dev/usb/lp0");
        return QFileInfo::exists(usb) ? usb : QStringLiteral("/dev/lp0");
    }
    int n = 0;
    if (ComNumber(portName, &n)) return QStringLiteral("/dev/ttyS") + QString::number(n - 1);
    return QString();
}

}  // namespace port_devices
