#include "labels/port_file_sink_win.h"

#include "platform/system_message_win.h"

#include <windows.h>

namespace labels {

PortFileSink::PortFileSink(const label_settings::LabelTarget& target, bool serial, bool lineEnd)
    : m_portName(target.portName()),
      m_path(label_settings::DevicePath(m_portName)),
      m_stallMs(target.timeoutMs),
      m_serial(serial),
      m_lineEnd(lineEnd) {
    m_where = QStringLiteral("라벨 프린터 포트 %1 (%2)")
                  .arg(m_portName, m_path.isEmpty() ? QStringLiteral("-") : m_path);
}

PortFileSink::~PortFileSink() {
    close();
}

bool PortFileSink::open() {
    if (m_path.isEmpty()) return fail(kNoDevice, QStringLiteral("알 수 없는 포트입니다"));
    const std::wstring path = m_path.toStdWString();
    // A serial port's line settings are read and written through the handle, which needs read access for
    // that (the printer's answers are never read); a parallel port is only written.
    const DWORD access = m_serial ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE;
    HANDLE handle = CreateFileW(path.c_str(), access, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const long number = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? kNoDevice
                            : error == ERROR_ACCESS_DENIED                                   ? kNoPermission
                                                                                             : kAccessFault;
        return fail(number, SystemMessage(error));
    }
    m_handle = handle;
    // A write that the port does not take within the limit fails instead of holding the run.
    COMMTIMEOUTS timeouts{};
    timeouts.WriteTotalTimeoutConstant = DWORD(m_stallMs);
    SetCommTimeouts(handle, &timeouts);
    if (m_serial && !setUpSerial()) {
        const DWORD error = GetLastError();
        close();
        return fail(kAccessFault, SystemMessage(error));
    }
    return true;
}

bool PortFileSink::setUpSerial() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(static_cast<HANDLE>(m_handle), &dcb)) return false;
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    return SetCommState(static_cast<HANDLE>(m_handle), &dcb) != 0;
}

bool PortFileSink::write(const QByteArray& block) {
    if (!m_handle) return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
    const QByteArray bytes = m_lineEnd ? block + "\r\n" : block;
    qsizetype done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(static_cast<HANDLE>(m_handle), bytes.constData() + done, DWORD(bytes.size() - done),
                       &written, nullptr))
            return fail(kDeviceIoFault, SystemMessage(GetLastError()));
        if (written == 0) return fail(kDeviceIoFault, stalled());
        done += written;
    }
    // Written is not yet sent: the flush returns when the driver has passed everything to the port.
    if (!FlushFileBuffers(static_cast<HANDLE>(m_handle)))
        return fail(kDeviceIoFault, QStringLiteral("출력을 끝까지 보내지 못했습니다"));
    return true;
}

bool PortFileSink::finish() {
    close();
    return true;
}

QString PortFileSink::stalled() const {
    return QStringLiteral("%1초 동안 전송되지 않았습니다").arg(m_stallMs / 1000.0);
}

void PortFileSink::close() {
    if (m_handle) CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
}

}  // namespace labels
