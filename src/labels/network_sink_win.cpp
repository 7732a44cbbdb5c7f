// A network printer's raw TCP port (9100 by default), through Winsock.
#include "labels/label_sink_kinds.h"

#include "platform/blocking_wait.h"

#include <QElapsedTimer>

#include "platform/system_message_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>

namespace labels {

namespace {

// How often a wait looks whether the user cancelled it.
constexpr int kSliceMs = 20;

// Winsock is started once for the process and stays.
bool winsockReady() {
    static const bool ready = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

class NetworkSink : public LabelSink {
public:
    explicit NetworkSink(const label_settings::LabelTarget& target)
        : m_host(target.host.trimmed()), m_port(target.netPort), m_limitMs(target.timeoutMs) {
        m_where = m_host.isEmpty() ? QStringLiteral("라벨 프린터")
                                   : QStringLiteral("라벨 프린터 %1:%2").arg(m_host).arg(m_port);
    }
    ~NetworkSink() override { close(); }

    // The lookup, the connecting and the sending run off the window's thread (blocking_wait), so the window
    // stays alive and the wait can be cancelled.
    bool open() override {
        if (m_host.isEmpty()) return fail(kNoDevice, QStringLiteral("네트워크 프린터의 주소가 없습니다"));
        if (m_port < 1 || m_port > 65535)
            return fail(kNoDevice, QStringLiteral("포트 번호가 잘못되었습니다"));
        if (!winsockReady()) return fail(kAccessFault, SystemMessage(WSAGetLastError()));
        bool opened = false;
        blocking_wait::run([&] { opened = connectWithinLimit(); }, [this] { m_cancel = true; });
        return opened || cancelledOr(false);
    }

    bool write(const QByteArray& bytes) override {
        if (m_socket == INVALID_SOCKET)
            return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
        bool written = false;
        blocking_wait::run([&] { written = sendAll(bytes); }, [this] { m_cancel = true; });
        return written || cancelledOr(false);
    }

    bool finish() override {
        close();
        return true;
    }

private:
    bool cancelledOr(bool result) {
        if (m_cancel) return cancelled();
        return result;
    }

    bool connectWithinLimit() {
        const std::wstring host = m_host.toStdWString();
        const std::wstring port = std::to_wstring(m_port);
        addrinfoW hintsW{};
        hintsW.ai_family = AF_UNSPEC;
        hintsW.ai_socktype = SOCK_STREAM;
        addrinfoW* foundW = nullptr;
        if (const int r = GetAddrInfoW(host.c_str(), port.c_str(), &hintsW, &foundW); r != 0)
            return fail(kNoDevice, QStringLiteral("주소를 찾을 수 없습니다 (%1)").arg(SystemMessage(r)));
        QString reason = QStringLiteral("%1초 안에 연결되지 않았습니다").arg(m_limitMs / 1000.0);
        for (addrinfoW* a = foundW; a && m_socket == INVALID_SOCKET && !m_cancel; a = a->ai_next)
            tryConnect(a, &reason);
        FreeAddrInfoW(foundW);
        if (m_socket != INVALID_SOCKET) return true;
        return fail(kAccessFault, reason);
    }

    bool tryConnect(const addrinfoW* a, QString* reason) {
        SOCKET s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == INVALID_SOCKET) return false;
        // A send buffer of nothing: a blocking send then returns only when the printer has acknowledged
        // the bytes, so a label is grey once the printer has it.
        int none = 0;
        setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&none), sizeof none);
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        if (::connect(s, a->ai_addr, int(a->ai_addrlen)) != 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
            *reason = QStringLiteral("연결할 수 없습니다 (%1)").arg(SystemMessage(WSAGetLastError()));
            closesocket(s);
            return false;
        }
        QElapsedTimer waited;
        waited.start();
        while (!m_cancel && waited.elapsed() < m_limitMs) {
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s, &writable);
            FD_SET(s, &failed);
            timeval slice{0, kSliceMs * 1000};
            if (select(0, nullptr, &writable, &failed, &slice) <= 0) continue;
            if (FD_ISSET(s, &failed)) {
                int error = 0;
                int size = sizeof error;
                getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
                *reason = error == WSAECONNREFUSED
                              ? QStringLiteral("연결이 거부되었습니다 (%1)").arg(SystemMessage(error))
                              : QStringLiteral("연결할 수 없습니다 (%1)").arg(SystemMessage(error));
                break;
            }
            u_long blocking = 0;
            ioctlsocket(s, FIONBIO, &blocking);
            // A printer that stops taking data makes a send fail after the limit instead of holding on.
            const DWORD limit = DWORD(m_limitMs);
            setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
            m_socket = s;
            return true;
        }
        closesocket(s);
        return false;
    }

    bool sendAll(const QByteArray& bytes) {
        qsizetype done = 0;
        while (done < bytes.size() && !m_cancel) {
            const int n = ::send(m_socket, bytes.constData() + done, int(bytes.size() - done), 0);
            if (n > 0) {
                done += n;
                continue;
            }
            const int error = WSAGetLastError();
            if (error == WSAETIMEDOUT)
                return fail(kDeviceIoFault,
                            QStringLiteral("%1초 동안 전송되지 않았습니다").arg(m_limitMs / 1000.0));
            return fail(kDeviceIoFault, SystemMessage(error));
        }
        return done == bytes.size();
    }

    void close() {
        if (m_socket != INVALID_SOCKET) closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }

    QString m_host;
    int m_port;
    int m_limitMs;
    SOCKET m_socket = INVALID_SOCKET;
    std::atomic<bool> m_cancel{false};
};

}  // namespace

std::unique_ptr<LabelSink> MakeNetworkSink(const label_settings::LabelTarget& target) {
    return std::make_unique<NetworkSink>(target);
}

}  // namespace labels
