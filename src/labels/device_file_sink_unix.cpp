// The parallel (or USB printer) port: a device file written as it is.
#include "labels/label_sink_kinds.h"

#include "platform/ports/serial_drain_unix.h"

#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace labels {

namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

class DeviceFileSink : public LabelSink {
public:
    explicit DeviceFileSink(const label_settings::LabelTarget& target)
        : m_portName(target.portName()),
          m_path(label_settings::DevicePath(m_portName)),
          m_stallMs(target.timeoutMs) {
        m_where = QStringLiteral("라벨 프린터 포트 %1 (%2)")
                      .arg(m_portName, m_path.isEmpty() ? QStringLiteral("-") : m_path);
    }
    ~DeviceFileSink() override { close(); }

    QString openAdvice() const override {
        return PortOpenAdvice(m_portName, m_path, m_failure.number, QStringLiteral("프린터 포트(lp 그룹)"));
    }

    // The device must exist: a missing device never turns into a new plain file. It is opened
    // non-blocking, so that a printer that is off line makes a write fail after the stall time instead of
    // freezing the program.
    bool open() override {
        if (m_path.isEmpty()) return fail(kNoDevice, QStringLiteral("알 수 없는 포트입니다"));
        m_fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (m_fd >= 0) return true;
        const int error = errno;
        const long number = error == ENOENT                       ? kNoDevice
                            : (error == EACCES || error == EPERM) ? kNoPermission
                                                                  : kAccessFault;
        return fail(number, systemError(error));
    }

    // The port was written with a text output statement, which ends each block with CR LF.
    bool write(const QByteArray& block) override { return writeAll(block + "\r\n") && waitTaken(); }

    bool finish() override {
        close();
        return true;
    }

private:
    bool writeAll(const QByteArray& bytes) {
        if (m_fd < 0) return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                return fail(kDeviceIoFault, systemError(errno));
            // The device takes nothing now: wait for room, at most the stall time.
            pollfd ready{m_fd, POLLOUT, 0};
            const int r = ::poll(&ready, 1, m_stallMs);
            if (r == 0) return fail(kDeviceIoFault, stalled());
            if (r < 0 && errno != EINTR) return fail(kDeviceIoFault, systemError(errno));
            if (r > 0 && (ready.revents & (POLLERR | POLLHUP | POLLNVAL)))
                return fail(kDeviceIoFault, QStringLiteral("장치가 응답하지 않습니다"));
        }
        return true;
    }
    // The bytes written are the printer's only once its side has taken them: a pipe (a FIFO that a
    // printer program reads) holds them until its reader reads them, a terminal device until its line has
    // sent them. The stall time runs from the last progress. A plain device file keeps no such queue.
    bool waitTaken() {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0) return fail(kDeviceIoFault, systemError(errno));
        if (::isatty(m_fd)) {
            const auto drained = serial_drain::Drain(m_fd, m_stallMs);
            if (drained == serial_drain::Result::Drained) return true;
            return fail(kDeviceIoFault,
                        drained == serial_drain::Result::Stalled ? stalled() : systemError(errno));
        }
        if (!S_ISFIFO(st.st_mode)) return true;
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        int last = -1;
        int pending = 0;
        while (::ioctl(m_fd, FIONREAD, &pending) == 0 && pending > 0) {
            if (pending != last) {
                last = pending;
                sinceProgress.restart();
            } else if (sinceProgress.elapsed() >= m_stallMs) {
                return fail(kDeviceIoFault, stalled());
            }
            pollfd gone{m_fd, 0, 0};
            if (::poll(&gone, 1, 5) > 0 && (gone.revents & (POLLERR | POLLHUP)))
                return fail(kDeviceIoFault, QStringLiteral("장치가 응답하지 않습니다"));
        }
        return true;
    }
    QString stalled() const {
        return QStringLiteral("%1초 동안 전송되지 않았습니다").arg(m_stallMs / 1000.0);
    }
    void close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

    QString m_portName;
    QString m_path;
    int m_stallMs;
    int m_fd = -1;
};

}  // namespace

std::unique_ptr<LabelSink> MakeDeviceFileSink(const label_settings::LabelTarget& target) {
    return std::make_unique<DeviceFileSink>(target);
}

}  // namespace labels
