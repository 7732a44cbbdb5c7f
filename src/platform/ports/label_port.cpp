#include "platform/ports/label_port.h"

#include "platform/settings_store.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>

namespace label_port {

namespace {

constexpr long kNoDevice = 53;       // "File not found"
constexpr long kNoPermission = 70;   // "Permission denied"
constexpr long kAccessFault = 75;    // "Path/File access error"
constexpr long kDeviceIoFault = 57;  // "Device I/O error"

QString stalled(int stallMs) {
    return QStringLiteral("%1초 동안 전송되지 않았습니다").arg(stallMs / 1000.0);
}

bool comNumber(const QString& portName, int* number) {
    if (!portName.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) return false;
    bool ok = false;
    const int n = portName.mid(3).toInt(&ok);
    if (!ok || n < 1) return false;
    *number = n;
    return true;
}

}  // namespace

QString PortName(int portType) {
    return portType == 0 ? QStringLiteral("LPT1") : QStringLiteral("COM") + QString::number(portType);
}

bool IsParallel(const QString& portName) {
    return portName.compare(QStringLiteral("LPT1"), Qt::CaseInsensitive) == 0;
}

QString DefaultDevicePath(const QString& portName) {
    if (IsParallel(portName)) {
        const QString usb = QStringLiteral("/dev/usb/lp0");
        return QFileInfo::exists(usb) ? usb : QStringLiteral("/dev/lp0");
    }
    int n = 0;
    if (comNumber(portName, &n)) return QStringLiteral("/dev/ttyS") + QString::number(n - 1);
    return QString();
}

QString DevicePath(const QString& portName) {
    const QString over = settings::get(kSettingsApp, kSettingsSection, portName.toUpper()).trimmed();
    return over.isEmpty() ? DefaultDevicePath(portName) : over;
}

Port::Port() = default;

Port::~Port() {
    close();
}

bool Port::fail(long number, const QString& reason) {
    m_failure = {number,
                 QStringLiteral("라벨 프린터 포트 %1 (%2): %3").arg(m_portName, m_devicePath, reason)};
    return false;
}

bool Port::open(const QString& portName) {
    close();
    m_failure = {};
    m_portName = portName.toUpper();
    m_devicePath = DevicePath(m_portName);
    if (m_devicePath.isEmpty()) {
        m_devicePath = QStringLiteral("-");
        return fail(kNoDevice, QStringLiteral("알 수 없는 포트입니다"));
    }
    return IsParallel(m_portName) ? openParallel() : openSerial();
}

// The parallel (or USB printer) port is a device file written as it is. It must exist: a missing device
// must never turn into a new plain file. On Unix it is opened non-blocking, so that a printer that is off
// line makes a write fail after the stall time instead of freezing the program.
bool Port::openParallel() {
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(m_devicePath);
    m_fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd >= 0) return true;
    const int error = errno;
    const long number = error == ENOENT                       ? kNoDevice
                        : (error == EACCES || error == EPERM) ? kNoPermission
                                                              : kAccessFault;
    return fail(number, QString::fromLocal8Bit(std::strerror(error)));
#else
    if (!QFileInfo::exists(m_devicePath)) return fail(kNoDevice, QStringLiteral("No such file or directory"));
    m_file = std::make_unique<QFile>(m_devicePath);
    if (m_file->open(QIODevice::WriteOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered)) return true;
    const long number = m_file->error() == QFileDevice::PermissionsError ? kNoPermission : kAccessFault;
    const QString reason = m_file->errorString();
    m_file.reset();
    return fail(number, reason);
#endif
}

bool Port::writeParallel(const QByteArray& bytes, int stallMs) {
#ifdef Q_OS_UNIX
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return fail(kDeviceIoFault, QString::fromLocal8Bit(std::strerror(errno)));
        // The device takes nothing now: wait for room, at most the stall time.
        pollfd ready{m_fd, POLLOUT, 0};
        const int r = ::poll(&ready, 1, stallMs);
        if (r == 0) return fail(kDeviceIoFault, stalled(stallMs));
        if (r < 0 && errno != EINTR)
            return fail(kDeviceIoFault, QString::fromLocal8Bit(std::strerror(errno)));
        if (r > 0 && (ready.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return fail(kDeviceIoFault, QStringLiteral("장치가 응답하지 않습니다"));
    }
    return true;
#else
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = m_file->write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) return fail(kDeviceIoFault, m_file->errorString());
        done += n;
    }
    Q_UNUSED(stallMs);
    return true;
#endif
}

bool Port::openSerial() {
    m_serial = std::make_unique<QSerialPort>();
    m_serial->setPortName(m_devicePath);
    if (!m_serial->open(QIODevice::WriteOnly)) {
        const auto error = m_serial->error();
        const long number = error == QSerialPort::DeviceNotFoundError ? kNoDevice
                            : error == QSerialPort::PermissionError   ? kNoPermission
                                                                      : kAccessFault;
        const QString reason = m_serial->errorString();
        m_serial.reset();
        return fail(number, reason);
    }
    const bool set =
        m_serial->setBaudRate(QSerialPort::Baud9600) && m_serial->setDataBits(QSerialPort::Data8) &&
        m_serial->setParity(QSerialPort::NoParity) && m_serial->setStopBits(QSerialPort::OneStop) &&
        m_serial->setFlowControl(QSerialPort::NoFlowControl);
    if (set) return true;
    const QString reason = m_serial->errorString();
    m_serial->close();
    m_serial.reset();
    return fail(kAccessFault, reason);
}

bool Port::isOpen() const {
    return m_fd >= 0 || (m_file && m_file->isOpen()) || (m_serial && m_serial->isOpen());
}

bool Port::write(const QByteArray& bytes, int stallMs) {
    m_failure = {};
    if (!isOpen()) return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
    if (!m_serial) return writeParallel(bytes, stallMs);
    if (m_serial->write(bytes) != bytes.size()) return fail(kDeviceIoFault, m_serial->errorString());
    // Each wait ends as soon as some bytes went out, so a slow line never fails, a dead one does.
    while (m_serial->bytesToWrite() > 0) {
        if (!m_serial->waitForBytesWritten(stallMs)) {
            if (m_serial->error() == QSerialPort::TimeoutError || m_serial->error() == QSerialPort::NoError)
                return fail(kDeviceIoFault, stalled(stallMs));
            return fail(kDeviceIoFault, m_serial->errorString());
        }
    }
    return true;
}

void Port::close() {
#ifdef Q_OS_UNIX
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
#endif
    if (m_file) {
        m_file->close();
        m_file.reset();
    }
    if (m_serial) {
        m_serial->close();
        m_serial.reset();
    }
}

}  // namespace label_port
