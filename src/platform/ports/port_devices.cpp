#include "platform/ports/port_devices.h"

namespace port_devices {

QString PortName(int portType) {
    return portType == 0 ? QStringLiteral("LPT1") : QStringLiteral("COM") + QString::number(portType);
}

bool IsParallel(const QString& portName) {
    return portName.compare(QStringLiteral("LPT1"), Qt::CaseInsensitive) == 0;
}

bool ComNumber(const QString& portName, int* number) {
    if (!portName.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) return false;
    bool ok = false;
    const int n = portName.mid(3).toInt(&ok);
    if (!ok || n < 1) return false;
    *number = n;
    return true;
}

}  // namespace port_devices
