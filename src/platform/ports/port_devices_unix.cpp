#include "platform/ports/port_devices.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

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

DeviceState WritableState(const QString& device) {
    const int fd =
        ::open(QFile::encodeName(device).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return DeviceState::Writable;
    }
    if (errno == ENOENT) return DeviceState::Missing;
    if (errno == EACCES || errno == EPERM) return DeviceState::Refused;
    return DeviceState::Failed;
}

}  // namespace port_devices
