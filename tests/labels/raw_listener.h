#pragma once

// A network label printer's raw port on 127.0.0.1: a listening socket and a thread that accepts one
// connection and then reads everything until the sender closes, or reads nothing at all (a printer whose
// buffer is full), or reads a given number of bytes and then stops. Its receive buffer can be made as small
// as a printer's, so that a printer that stops reading stops acknowledging too.

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace labels_test {

class RawListener {
public:
    enum class Mode { Read, StopReading };

    // `stopAfter` >= 0: reads that many bytes, then stops reading.
    explicit RawListener(Mode mode, int receiveBuffer = 0, qsizetype stopAfter = -1)
        : m_mode(mode), m_stopAfter(stopAfter) {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_listen < 0) return;
        // Set before listening, so that the accepted connection has it from its first byte.
        if (receiveBuffer > 0)
            ::setsockopt(m_listen, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof at;
        if (::bind(m_listen, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
            ::listen(m_listen, 1) != 0 ||
            ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&at), &length) != 0)
            return;
        m_port = ntohs(at.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~RawListener() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        if (m_listen >= 0) ::close(m_listen);
    }
    RawListener(const RawListener&) = delete;
    RawListener& operator=(const RawListener&) = delete;

    int port() const { return m_port; }
    // A listener that stopped reading reads again.
    void resumeReading() {
        m_stopAfter = -1;
        m_mode = Mode::Read;
    }
    // What this end has acknowledged: the bytes read and those waiting unread in its receive buffer.
    qsizetype acknowledged() {
        int unread = 0;
        if (m_connection >= 0) ::ioctl(m_connection, FIONREAD, &unread);
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received.size() + unread;
    }
    // Waits until `size` bytes have arrived or the sender closed, at most `ms`.
    QByteArray receiveUntil(qsizetype size, int ms = 5000) {
        waitUntil([&] { return m_received.size() >= size || m_closed; }, ms);
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }

private:
    template <typename Done>
    void waitUntil(Done done, int ms) {
        for (int waited = 0; waited < ms; waited += 10) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (done()) return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    void run() {
        int connection = -1;
        while (!m_stop && connection < 0) {
            pollfd p{m_listen, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) connection = ::accept(m_listen, nullptr, nullptr);
        }
        m_connection = connection;
        char buffer[4096];
        while (!m_stop && connection >= 0) {
            qsizetype room = sizeof buffer;
            if (m_stopAfter >= 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                room = std::min<qsizetype>(room, m_stopAfter - m_received.size());
            }
            if (m_mode == Mode::StopReading || room <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            pollfd p{connection, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            const ssize_t n = ::read(connection, buffer, size_t(room));
            std::lock_guard<std::mutex> lock(m_mutex);
            if (n <= 0) {
                m_closed = true;
                break;
            }
            m_received.append(buffer, n);
        }
        m_connection = -1;
        if (connection >= 0) ::close(connection);
    }

    std::atomic<Mode> m_mode;
    std::atomic<qsizetype> m_stopAfter;
    std::atomic<int> m_connection{-1};
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    QByteArray m_received;
    bool m_closed = false;
    std::thread m_thread;
};

}  // namespace labels_test
