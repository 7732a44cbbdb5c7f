#include "platform/ports/port_devices.h"

#include <windows.h>

namespace port_devices {

QString DefaultDevicePath(const QString& portName) {
    int n = 0;
    if (IsParallel(portName) || ComNumber(portName, &n))
        return QStringLiteral("\\\\.\\") + portName.toUpper();
    return QString();
}

DeviceState WritableState(const QString& device) {
    const std::wstring path = device.toStdWString();
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return DeviceState::Writable;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return DeviceState::Missing;
    if (error == ERROR_ACCESS_DENIED) return DeviceState::Refused;
    return DeviceState::Failed;
}

}  // namespace port_devices
