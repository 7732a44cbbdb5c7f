// A network printer's raw TCP port (9100 by default).
#include "labels/label_sink_kinds.h"

#include "labels/network_lookup_unix.h"
#include "platform/blocking_wait.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace labels {

namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

std::atomic<HostLookup> g_lookup{nullptr};

// How often a wait looks whether the user cancelled it.
constexpr int kSliceMs = 20;

// One host-name lookup on a thread of its own: the resolver cannot be interrupted, so a lookup that does
// not answer within the time limit is left behind, and frees its answer when it comes.
struct Lookup {
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    bool abandoned = false;
    int result = 0;
    addrinfo* found = nullptr;

    static void start(const std::shared_ptr<Lookup>& lookup, const QByteArray& host, const QByteArray& port) {
        const HostLookup resolve = g_lookup.load() ? g_lookup.load() : &::getaddrinfo;
        std::thread([lookup, host, port, resolve] {
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* found = nullptr;
            const int result = resolve(host.constData(), port.constData(), &hints, &found);
            std::lock_guard<std::mutex> lock(lookup->mutex);
            if (lookup->abandoned) {
                if (result == 0 && found) ::freeaddrinfo(found);
                return;
            }
            lookup->result = result;
            lookup->found = found;
            lookup->done = true;
            lookup->answered.notify_all();
        }).detach();
    }
};

class NetworkSink : public LabelSink {
public:
    explicit NetworkSink(const label_settings::LabelTarget& target)
        : m_host(target.host.trimmed()), m_port(target.netPort), m_limitMs(target.timeoutMs) {
        m_where = m_host.isEmpty() ? QStringLiteral("라벨 프린터")
                                   : QStringLiteral("라벨 프린터 %1:%2").arg(m_host).arg(m_port);
    }
    ~NetworkSink() override { close(); }

    // The lookup of the host and the connecting share the time limit; both run off the window's thread
    // (blocking_wait), so the window stays alive and the wait can be cancelled. The socket stays
    // non-blocking so that a printer that stops taking data makes a write fail instead of freezing the
    // program.
    bool open() override {
        if (m_host.isEmpty()) return fail(kNoDevice, QStringLiteral("네트워크 프린터의 주소가 없습니다"));
        if (m_port < 1 || m_port > 65535)
            return fail(kNoDevice, QStringLiteral("포트 번호가 잘못되었습니다"));
        bool opened = false;
        blocking_wait::run([&] { opened = connectWithinLimit(); }, [this] { m_cancel = true; });
        return opened;
    }

    bool write(const QByteArray& bytes) override {
        if (m_fd < 0) return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
        bool written = false;
        blocking_wait::run([&] { written = sendAcknowledged(bytes); }, [this] { m_cancel = true; });
        return written;
    }

    bool finish() override {
        close();
        return true;
    }

    QString openAdvice() const override {
        if (m_host.isEmpty())
            return QStringLiteral(
                "라벨 프린터의 주소가 없습니다. [포트]에서 네트워크 프린터의 주소를 입력하세요.");
        return QStringLiteral(
                   "라벨 프린터(%1:%2)에 연결할 수 없습니다. 프린터가 켜져 있는지, 주소가 맞는지 "
                   "확인하세요.")
            .arg(m_host)
            .arg(m_port);
    }

private:
    bool connectWithinLimit() {
        QDeadlineTimer deadline(m_limitMs);
        auto lookup = std::make_shared<Lookup>();
        Lookup::start(lookup, m_host.toUtf8(), QByteArray::number(m_port));
        {
            std::unique_lock<std::mutex> lock(lookup->mutex);
            while (!lookup->done && !m_cancel && !deadline.hasExpired())
                lookup->answered.wait_for(
                    lock, std::chrono::milliseconds(std::min<qint64>(kSliceMs, deadline.remainingTime())));
            if (!lookup->done) {
                lookup->abandoned = true;
                if (m_cancel) return cancelled();
                return fail(kNoDevice,
                            QStringLiteral("%1초 안에 주소를 찾지 못했습니다").arg(m_limitMs / 1000.0));
            }
        }
        if (lookup->result != 0)
            return fail(kNoDevice, QStringLiteral("주소를 찾을 수 없습니다 (%1)")
                                       .arg(QString::fromLocal8Bit(::gai_strerror(lookup->result))));
        QString reason = QStringLiteral("%1초 안에 연결되지 않았습니다").arg(m_limitMs / 1000.0);
        for (addrinfo* a = lookup->found; a && m_fd < 0 && !m_cancel; a = a->ai_next) {
            const int fd =
                ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
            if (fd < 0) {
                reason = systemError(errno);
                continue;
            }
            int error = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
            if (error == EINPROGRESS) {
                pollfd ready{fd, POLLOUT, 0};
                int r = 0;
                while (!m_cancel && !deadline.hasExpired()) {
                    r = ::poll(&ready, 1, int(std::min<qint64>(kSliceMs, deadline.remainingTime())));
                    if (r != 0 && !(r < 0 && errno == EINTR)) break;
                }
                socklen_t length = sizeof error;
                if (r == 0 || (r < 0 && errno == EINTR))
                    error = ETIMEDOUT;
                else if (r < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                    error = errno;
            }
            if (error == 0) {
                m_fd = fd;
                break;
            }
            ::close(fd);
            reason =
                error == ETIMEDOUT ? QStringLiteral("%1초 안에 연결되지 않았습니다").arg(m_limitMs / 1000.0)
                : error == ECONNREFUSED ? QStringLiteral("연결이 거부되었습니다 (%1)").arg(systemError(error))
                                        : QStringLiteral("연결할 수 없습니다 (%1)").arg(systemError(error));
        }
        ::freeaddrinfo(lookup->found);
        lookup->found = nullptr;
        if (m_fd >= 0) return true;
        if (m_cancel) return cancelled();
        return fail(kAccessFault, reason);
    }

    // Every byte is sent, then acknowledged by the printer: a printer whose buffer is full stops taking
    // data, and the bytes it has not acknowledged within the stall time make the write fail.
    bool sendAcknowledged(const QByteArray& bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::send(m_fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                return fail(kDeviceIoFault, systemError(errno));
            // The printer takes nothing now: wait for room, at most the stall time.
            QDeadlineTimer stall(m_limitMs);
            pollfd ready{m_fd, POLLOUT, 0};
            int r = 0;
            while (!m_cancel && !stall.hasExpired()) {
                r = ::poll(&ready, 1, int(std::min<qint64>(kSliceMs, stall.remainingTime())));
                if (r > 0) break;
                if (r < 0 && errno != EINTR) return fail(kDeviceIoFault, systemError(errno));
            }
            if (m_cancel) return cancelled();
            if (r <= 0) return fail(kDeviceIoFault, stalled());
        }
        // What the printer has not acknowledged yet; the stall time runs from the last progress.
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        int lastPending = -1;
        int pending = 0;
        while (::ioctl(m_fd, SIOCOUTQ, &pending) == 0 && pending > 0) {
            if (m_cancel) return cancelled();
            if (pending != lastPending) {
                lastPending = pending;
                sinceProgress.restart();
            } else if (sinceProgress.elapsed() >= m_limitMs) {
                return fail(kDeviceIoFault, stalled());
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
        return true;
    }

    QString stalled() const {
        return QStringLiteral("%1초 동안 전송되지 않았습니다").arg(m_limitMs / 1000.0);
    }
    void close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

    QString m_host;
    int m_port;
    int m_limitMs;
    int m_fd = -1;
    std::atomic<bool> m_cancel{false};
};

}  // namespace

HostLookup SetHostLookup(HostLookup lookup) {
    return g_lookup.exchange(lookup);
}

std::unique_ptr<LabelSink> MakeNetworkSink(const label_settings::LabelTarget& target) {
    return std::make_unique<NetworkSink>(target);
}

}  // namespace labels
