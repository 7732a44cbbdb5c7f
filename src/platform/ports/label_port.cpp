#include "platform/ports/label_port.h"

#include "platform/settings_store.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#include <cups/cups.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/sockios.h>
#endif

#include <algorithm>
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

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString setting(const QString& key) {
    return settings::get(kSettingsApp, kSettingsSection, key).trimmed();
}

// The print service's own words for its last failure.
QString cupsReason() {
    return QString::fromUtf8(cupsLastErrorString());
}

// A stalled request to the print service is given up (the scheduler no longer takes the job's bytes).
int giveUp(http_t*, void*) {
    return 0;
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

Target StoredTarget() {
    Target target;
    const QString kind = setting(kKindKey).toUpper();
    if (kind == kKindQueue) target.kind = Kind::Queue;
    if (kind == kKindNetwork) target.kind = Kind::Network;
    target.queue = setting(kQueueKey);
    target.host = setting(kHostKey);
    bool ok = false;
    const int port = setting(kNetPortKey).toInt(&ok);
    target.netPort = ok ? port : kDefaultNetPort;
    return target;
}

QString StoredPortTypeText() {
    return settings::get(kSettingsApp, kSettingsSection, kPortTypeKey, QStringLiteral("1"));
}

bool StoredPortType(short* type) {
    bool ok = false;
    const short value = StoredPortTypeText().trimmed().toShort(&ok);
    if (ok) *type = value;
    return ok;
}

QString StoredTargetText() {
    const Target target = StoredTarget();
    if (target.kind == Kind::Queue) return QStringLiteral("인쇄 대기열 ") + target.queue;
    if (target.kind == Kind::Network)
        return QStringLiteral("네트워크 ") + target.host + QLatin1Char(':') + QString::number(target.netPort);
    short type = 0;
    if (!StoredPortType(&type)) return QStringLiteral("포트 설정 오류");
    const QString name = PortName(type);
    const QString device = DevicePath(name);
    return device.isEmpty() ? name : name + QStringLiteral(" (") + device + QLatin1Char(')');
}

void StoreTarget(const Target& target) {
    switch (target.kind) {
        case Kind::Device:
            settings::remove(kSettingsApp, kSettingsSection, kKindKey);
            return;
        case Kind::Queue:
            settings::save(kSettingsApp, kSettingsSection, kKindKey, kKindQueue);
            settings::save(kSettingsApp, kSettingsSection, kQueueKey, target.queue);
            return;
        case Kind::Network:
            settings::save(kSettingsApp, kSettingsSection, kKindKey, kKindNetwork);
            settings::save(kSettingsApp, kSettingsSection, kHostKey, target.host);
            settings::save(kSettingsApp, kSettingsSection, kNetPortKey, QString::number(target.netPort));
            return;
    }
}

int StoredTimeoutMs() {
    bool ok = false;
    const double seconds = setting(kTimeoutKey).toDouble(&ok);
    return ok && seconds > 0 && seconds < 3600 ? int(seconds * 1000) : kDefaultTimeoutMs;
}

QStringList QueueNames(QString* error) {
    QStringList names;
    http_t* http =
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!http) {
        if (error)
            *error =
                QStringLiteral("인쇄 서비스(%1)에 연결할 수 없습니다").arg(QString::fromUtf8(cupsServer()));
        return names;
    }
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http, &dests);
    if (count == 0 && cupsLastError() > IPP_STATUS_OK_CONFLICTING && error) *error = cupsReason();
    for (int i = 0; i < count; ++i)
        if (!dests[i].instance) names << QString::fromUtf8(dests[i].name);
    cupsFreeDests(count, dests);
    httpClose(http);
    names.sort(Qt::CaseInsensitive);
    names.removeDuplicates();
    return names;
}

// The job on a print queue: the connection that streams the job's document, the queue and the job number.
struct Port::Queue {
    http_t* http = nullptr;
    QByteArray name;
    int job = 0;
    ~Queue() {
        if (http) httpClose(http);
    }
};

Port::Port() = default;

Port::~Port() {
    close();
}

bool Port::fail(long number, const QString& reason) {
    m_failure = {number, QStringLiteral("%1: %2").arg(m_where, reason)};
    return false;
}

bool Port::open(const QString& portName) {
    close();
    m_jobId = 0;
    m_failure = {};
    m_kind = Kind::Device;
    m_portName = portName.toUpper();
    m_devicePath = DevicePath(m_portName);
    m_where = QStringLiteral("라벨 프린터 포트 %1 (%2)")
                  .arg(m_portName, m_devicePath.isEmpty() ? "-" : m_devicePath);
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

// A network printer's raw port. Connecting is bounded by the time limit; the socket stays non-blocking so
// that a printer that stops taking data makes a write fail instead of freezing the program.
bool Port::openNetwork(const QString& host, int netPort, int timeoutMs) {
    close();
    m_jobId = 0;
    m_failure = {};
    m_kind = Kind::Network;
    m_portName = QStringLiteral("%1:%2").arg(host.trimmed()).arg(netPort);
    m_devicePath = m_portName;
    m_where = QStringLiteral("라벨 프린터");
    if (host.trimmed().isEmpty()) return fail(kNoDevice, QStringLiteral("네트워크 프린터의 주소가 없습니다"));
    m_where = QStringLiteral("라벨 프린터 %1").arg(m_portName);
    if (netPort < 1 || netPort > 65535) return fail(kNoDevice, QStringLiteral("포트 번호가 잘못되었습니다"));
#ifdef Q_OS_UNIX
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int resolved = ::getaddrinfo(host.trimmed().toUtf8().constData(),
                                       QByteArray::number(netPort).constData(), &hints, &found);
    if (resolved != 0)
        return fail(kNoDevice, QStringLiteral("주소를 찾을 수 없습니다 (%1)")
                                   .arg(QString::fromLocal8Bit(::gai_strerror(resolved))));
    QElapsedTimer clock;
    clock.start();
    QString reason;
    for (addrinfo* a = found; a && m_fd < 0; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            reason = systemError(errno);
            continue;
        }
        int error = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
        if (error == EINPROGRESS) {
            pollfd ready{fd, POLLOUT, 0};
            int r = 0;
            do {
                r = ::poll(&ready, 1, int(std::max<qint64>(0, timeoutMs - clock.elapsed())));
            } while (r < 0 && errno == EINTR);
            socklen_t length = sizeof error;
            if (r == 0)
                error = ETIMEDOUT;
            else if (r < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
        }
        if (error == 0) {
            m_fd = fd;
            break;
        }
        ::close(fd);
        reason = error == ETIMEDOUT ? QStringLiteral("%1초 안에 연결되지 않았습니다").arg(timeoutMs / 1000.0)
                 : error == ECONNREFUSED
                     ? QStringLiteral("연결이 거부되었습니다 (%1)").arg(systemError(error))
                     : QStringLiteral("연결할 수 없습니다 (%1)").arg(systemError(error));
    }
    ::freeaddrinfo(found);
    return m_fd >= 0 || fail(kAccessFault, reason);
#else
    Q_UNUSED(timeoutMs);
    return fail(kAccessFault, QStringLiteral("이 시스템에서는 네트워크 프린터를 쓸 수 없습니다"));
#endif
}

// Every byte is sent, then acknowledged by the printer: a printer whose buffer is full stops taking data,
// and the bytes it has not acknowledged within the stall time make the write fail.
bool Port::writeNetwork(const QByteArray& bytes, int stallMs) {
#ifdef Q_OS_UNIX
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(m_fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return fail(kDeviceIoFault, systemError(errno));
        pollfd ready{m_fd, POLLOUT, 0};
        const int r = ::poll(&ready, 1, stallMs);
        if (r == 0) return fail(kDeviceIoFault, stalled(stallMs));
        if (r < 0 && errno != EINTR) return fail(kDeviceIoFault, systemError(errno));
    }
#ifdef SIOCOUTQ
    // What the printer has not acknowledged yet; the stall time runs from the last progress.
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    int lastPending = -1;
    int pending = 0;
    while (::ioctl(m_fd, SIOCOUTQ, &pending) == 0 && pending > 0) {
        if (pending != lastPending) {
            lastPending = pending;
            sinceProgress.restart();
        } else if (sinceProgress.elapsed() >= stallMs) {
            return fail(kDeviceIoFault, stalled(stallMs));
        }
        pollfd broken{m_fd, 0, 0};
        if (::poll(&broken, 1, 5) > 0 && (broken.revents & (POLLERR | POLLHUP))) {
            int error = 0;
            socklen_t length = sizeof error;
            ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length);
            return fail(kDeviceIoFault,
                        error ? systemError(error) : QStringLiteral("프린터가 연결을 끊었습니다"));
        }
    }
#endif
    return true;
#else
    Q_UNUSED(bytes);
    Q_UNUSED(stallMs);
    return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
#endif
}

// A raw job on a queue of the print service: created and opened as one document; the labels are streamed
// into it and close() completes it, so the queue prints the whole run as one job.
bool Port::openQueue(const QString& queue, int timeoutMs) {
    close();
    m_jobId = 0;
    m_failure = {};
    m_kind = Kind::Queue;
    m_portName = queue.trimmed();
    m_devicePath = m_portName;
    m_where = QStringLiteral("라벨 프린터 대기열 %1").arg(m_portName);
    if (m_portName.isEmpty()) return fail(kNoDevice, QStringLiteral("대기열 이름이 없습니다"));
    auto q = std::make_unique<Queue>();
    q->name = m_portName.toUtf8();
    q->http =
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, timeoutMs, nullptr);
    if (!q->http)
        return fail(kNoDevice, QStringLiteral("인쇄 서비스(%1)에 연결할 수 없습니다 (%2)")
                                   .arg(QString::fromUtf8(cupsServer()), systemError(errno)));
    httpSetTimeout(q->http, timeoutMs / 1000.0, giveUp, nullptr);
    cups_dest_t* dest = cupsGetNamedDest(q->http, q->name.constData(), nullptr);
    if (!dest) return fail(kNoDevice, QStringLiteral("인쇄 서비스에 이 대기열이 없습니다"));
    cupsFreeDests(1, dest);
    const char* title = "라벨출력";
    q->job = cupsCreateJob(q->http, q->name.constData(), title, 0, nullptr);
    if (q->job == 0) return fail(kAccessFault, cupsReason());
    if (cupsStartDocument(q->http, q->name.constData(), q->job, title, CUPS_FORMAT_RAW, 1) !=
        HTTP_STATUS_CONTINUE) {
        const QString reason = cupsReason();
        cupsCancelJob2(q->http, q->name.constData(), q->job, 0);
        return fail(kAccessFault, reason);
    }
    m_queue = std::move(q);
    return true;
}

bool Port::writeQueue(const QByteArray& bytes, int stallMs) {
    httpSetTimeout(m_queue->http, stallMs / 1000.0, giveUp, nullptr);
    if (cupsWriteRequestData(m_queue->http, bytes.constData(), size_t(bytes.size())) == HTTP_STATUS_CONTINUE)
        return true;
    // A broken stream leaves the service's last answer as it was: the connection's own error says more.
    const int error = httpError(m_queue->http);
    return fail(
        kDeviceIoFault,
        QStringLiteral("인쇄 서비스에 보낼 수 없습니다 (%1)").arg(error ? systemError(error) : cupsReason()));
}

// Completes the job, or cancels it when a write failed: an incomplete run must not come out half printed
// under the belief that nothing was printed.
bool Port::closeQueue() {
    std::unique_ptr<Queue> q = std::move(m_queue);
    if (m_broken) {
        // The streaming connection is unusable after a failed write; the job is cancelled through another.
        const int job = q->job;
        q.reset();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, m_portName.toUtf8().constData(), job, 0);
        return true;
    }
    const ipp_status_t status = cupsFinishDocument(q->http, q->name.constData());
    if (status > IPP_STATUS_OK_EVENTS_COMPLETE) {
        const QString reason = cupsReason();
        cupsCancelJob2(q->http, q->name.constData(), q->job, 0);
        return fail(kDeviceIoFault, reason);
    }
    m_jobId = q->job;
    return true;
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
    return m_fd >= 0 || (m_file && m_file->isOpen()) || (m_serial && m_serial->isOpen()) || m_queue;
}

bool Port::write(const QByteArray& bytes, int stallMs) {
    m_failure = {};
    if (!isOpen()) return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
    const bool written = m_kind == Kind::Queue     ? writeQueue(bytes, stallMs)
                         : m_kind == Kind::Network ? writeNetwork(bytes, stallMs)
                         : m_serial                ? writeSerial(bytes, stallMs)
                                                   : writeParallel(bytes, stallMs);
    if (!written) m_broken = true;
    return written;
}

bool Port::writeSerial(const QByteArray& bytes, int stallMs) {
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

bool Port::close() {
    bool closed = true;
    if (m_queue) closed = closeQueue();
    m_broken = false;
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
    return closed;
}

}  // namespace label_port
