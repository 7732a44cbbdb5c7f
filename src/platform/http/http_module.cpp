// The HTTP client behind http::Request: HTTP/1.1 spoken directly over a socket (see platform/http.h for
// why not through Qt's network access manager). Built as a module of its own, the one part of the program
// that links Qt Network; http.cpp loads it on the first HTTP call.
#include "platform/http_backend.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QList>
#include <QNetworkInformation>
#include <QPair>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

#include <cstring>
#include <functional>
#include <memory>

namespace http {
namespace {

Limits g_limits;

constexpr qint64 kReadAhead = 262144;  // decoded body bytes held ahead of the reader at most
constexpr qint64 kHeaderMax = 65536;   // a response head larger than this is no HTTP server's
constexpr int kMaxRedirections = 10;

qint64 monotonicMs() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock.elapsed();
}

bool isHttpUrl(const QUrl& url) {
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

quint16 portOf(const QUrl& url) {
    return quint16(url.port(url.scheme() == QLatin1String("https") ? 443 : 80));
}

bool onlineNow() {
    if (!QNetworkInformation::instance())
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    const QNetworkInformation* info = QNetworkInformation::instance();
    return !info || info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

bool reachable(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) return false;
    QTcpSocket socket;
    socket.connectToHost(url.host(), portOf(url));
    const bool reached = socket.waitForConnected(g_limits.connectMs);
    socket.abort();
    return reached;
}

// One GET request over a socket of its own (TLS for https).
class SocketRequest final : public BackendRequest {
public:
    ~SocketRequest() override { close(); }

    void setDeadline(int ms) override;
    void setInteractive(bool interactive) override { m_interactive = interactive; }
    void cancel() override;
    bool open(const QUrl& url, const QByteArray& userAgent, bool bypassCache) override;
    bool isOpen() const override;
    int status() const override;
    QUrl finalUrl() const override;
    QString contentType() const override;
    qint64 contentLength() const override;
    qint64 read(char* buffer, qint64 max) override;
    void close() override;

private:
    enum class Framing { Length, Chunked, UntilClose };
    enum class ChunkPart { Size, Data, DataEnd, Trailer };

    bool connectTo(const QUrl& url);
    bool readHeaders();
    bool parseHeaders(const QByteArray& head);
    void pump();
    void decodeBody();
    bool bodyEnded() const { return m_complete || m_failed; }
    void fail();
    QByteArray header(const QByteArray& name) const;
    bool waitFor(const std::function<bool()>& done, int limitMs, bool restartOnData);
    int remainingMs(int limitMs) const;

    std::unique_ptr<QTcpSocket> m_socket;
    QUrl m_url;
    int m_status = 0;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    QByteArray m_raw;   // received and not yet decoded
    QByteArray m_body;  // decoded and not yet read
    Framing m_framing = Framing::UntilClose;
    ChunkPart m_chunkPart = ChunkPart::Size;
    qint64 m_left = 0;  // body bytes still due (Length), or of the current chunk (Chunked)
    bool m_complete = false;
    bool m_failed = false;
    bool m_interactive = false;
    bool m_cancelled = false;
    qint64 m_deadline = -1;  // on the monotonic clock, ms; -1 for none
    QEventLoop* m_loop = nullptr;
};

void SocketRequest::setDeadline(int ms) {
    m_deadline = monotonicMs() + ms;
}

void SocketRequest::cancel() {
    m_cancelled = true;
    if (m_loop) m_loop->quit();
}

// A wait's limit, cut to what is left before the deadline.
int SocketRequest::remainingMs(int limitMs) const {
    if (m_deadline < 0) return limitMs;
    return int(qBound<qint64>(0, m_deadline - monotonicMs(), qint64(limitMs)));
}

bool SocketRequest::open(const QUrl& url, const QByteArray& userAgent, bool bypassCache) {
    close();
    m_cancelled = false;
    QUrl current = url;
    for (int hop = 0; hop <= kMaxRedirections; ++hop) {
        if (!isHttpUrl(current) || !connectTo(current)) break;
        QByteArray target = current.path(QUrl::FullyEncoded).toLatin1();
        if (target.isEmpty()) target = "/";
        if (current.hasQuery()) target += "?" + current.query(QUrl::FullyEncoded).toLatin1();
        QByteArray host = current.host(QUrl::FullyEncoded).toLatin1();
        if (host.contains(':')) host = "[" + host + "]";
        if (current.port() != -1) host += ":" + QByteArray::number(current.port());
        QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\nUser-Agent: " + userAgent +
                             "\r\nAccept: */*\r\nConnection: close\r\n";
        if (bypassCache) request += "Cache-Control: no-cache\r\nPragma: no-cache\r\n";
        m_socket->write(request + "\r\n");
        if (!readHeaders()) break;
        m_url = current;
        const QByteArray location = header("Location");
        const bool redirection =
            m_status == 301 || m_status == 302 || m_status == 303 || m_status == 307 || m_status == 308;
        if (!redirection || location.isEmpty()) return true;
        const QUrl next = current.resolved(QUrl::fromEncoded(location));
        // Never from https to http: the redirection itself is then the answer.
        if (current.scheme() == QLatin1String("https") && next.scheme() != QLatin1String("https"))
            return true;
        current = next;
    }
    close();
    return false;
}

// Opens the connection (with TLS for https) within the connect limit.
bool SocketRequest::connectTo(const QUrl& url) {
    m_socket.reset();
    m_raw.clear();
    m_body.clear();
    m_headers.clear();
    m_status = 0;
    m_complete = m_failed = false;
    const bool tls = url.scheme() == QLatin1String("https");
    if (tls) {
        auto* socket = new QSslSocket;
        m_socket.reset(socket);
        socket->connectToHostEncrypted(url.host(), portOf(url));
    } else {
        m_socket.reset(new QTcpSocket);
        m_socket->connectToHost(url.host(), portOf(url));
    }
    QTcpSocket* socket = m_socket.get();
    const auto ready = [socket, tls] {
        if (socket->state() != QAbstractSocket::ConnectedState) return false;
        return !tls || static_cast<QSslSocket*>(socket)->isEncrypted();
    };
    const auto over = [socket] { return socket->state() == QAbstractSocket::UnconnectedState; };
    return waitFor([&] { return ready() || over(); }, g_limits.connectMs, false) && ready();
}

// Reads the response head (status line and header lines) within the silence limit; informational
// answers (1xx) are skipped.
bool SocketRequest::readHeaders() {
    for (;;) {
        qsizetype end = -1;
        const auto headArrived = [&] {
            pump();
            end = m_raw.indexOf("\r\n\r\n");
            return end >= 0 || m_raw.size() > kHeaderMax ||
                   m_socket->state() == QAbstractSocket::UnconnectedState;
        };
        if (!waitFor(headArrived, g_limits.silenceMs, true) || end < 0) return false;
        const QByteArray head = m_raw.left(end);
        m_raw.remove(0, end + 4);
        if (!parseHeaders(head)) return false;
        if (m_status >= 200 || m_status < 100) break;
        // An informational answer has no body: until the final head is in, nothing is a body.
        m_status = 0;
    }
    // How the body ends: its last chunk, its declared length, or the end of the connection.
    const QByteArray coding = header("Transfer-Encoding").toLower();
    const qint64 length = contentLength();
    if (coding.contains("chunked")) {
        m_framing = Framing::Chunked;
        m_chunkPart = ChunkPart::Size;
    } else if (length >= 0) {
        m_framing = Framing::Length;
        m_left = length;
    } else {
        m_framing = Framing::UntilClose;
    }
    if (m_status == 204 || m_status == 304) {
        m_framing = Framing::Length;
        m_left = 0;
    }
    decodeBody();
    return true;
}

bool SocketRequest::parseHeaders(const QByteArray& head) {
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> status = lines.value(0).trimmed().split(' ');
    if (status.size() < 2 || !status.at(0).startsWith("HTTP/")) return false;
    bool ok = false;
    m_status = status.at(1).toInt(&ok);
    if (!ok) return false;
    m_headers.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0)
            m_headers.append({lines.at(i).left(colon).trimmed(), lines.at(i).mid(colon + 1).trimmed()});
    }
    return true;
}

QByteArray SocketRequest::header(const QByteArray& name) const {
    for (const auto& h : m_headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0) return h.second;
    return QByteArray();
}

// Takes what the socket received, as long as the reader is not too far behind, and decodes the body.
void SocketRequest::pump() {
    if (!m_socket || m_failed) return;
    if (m_body.size() < kReadAhead && m_socket->bytesAvailable() > 0) m_raw += m_socket->readAll();
    if (m_status != 0) decodeBody();
    // The connection's end completes a body read to the end of the connection; any other body that
    // has not ended yet broke off.
    if (m_status != 0 && !bodyEnded() && m_socket->state() == QAbstractSocket::UnconnectedState &&
        m_socket->bytesAvailable() == 0) {
        if (m_framing == Framing::UntilClose)
            m_complete = true;
        else
            fail();
    }
}

// Moves the received bytes into the body: counted, chunk by chunk, or all of them.
void SocketRequest::decodeBody() {
    while (!bodyEnded()) {
        switch (m_framing) {
            case Framing::UntilClose:
                m_body += m_raw;
                m_raw.clear();
                return;
            case Framing::Length: {
                const qint64 n = qMin<qint64>(m_left, m_raw.size());
                m_body += m_raw.left(n);
                m_raw.remove(0, n);
                m_left -= n;
                if (m_left == 0) m_complete = true;
                if (m_raw.isEmpty() || m_complete) return;
                break;
            }
            case Framing::Chunked: {
                if (m_chunkPart == ChunkPart::Data) {
                    const qint64 n = qMin<qint64>(m_left, m_raw.size());
                    m_body += m_raw.left(n);
                    m_raw.remove(0, n);
                    m_left -= n;
                    if (m_left > 0) return;
                    m_chunkPart = ChunkPart::DataEnd;
                    continue;
                }
                const qsizetype eol = m_raw.indexOf("\r\n");
                if (eol < 0) {
                    if (m_raw.size() > kHeaderMax) fail();
                    return;
                }
                const QByteArray line = m_raw.left(eol);
                m_raw.remove(0, eol + 2);
                if (m_chunkPart == ChunkPart::DataEnd) {
                    if (!line.isEmpty()) fail();  // a chunk longer than its size
                    m_chunkPart = ChunkPart::Size;
                } else if (m_chunkPart == ChunkPart::Size) {
                    const qsizetype extension = line.indexOf(';');  // chunk extensions are ignored
                    const QByteArray digits = (extension < 0 ? line : line.left(extension)).trimmed();
                    bool ok = false;
                    const qint64 size = digits.size() <= 15 ? digits.toLongLong(&ok, 16) : -1;
                    if (!ok || size < 0) {
                        fail();
                    } else if (size == 0) {
                        m_chunkPart = ChunkPart::Trailer;
                    } else {
                        m_left = size;
                        m_chunkPart = ChunkPart::Data;
                    }
                } else if (line.isEmpty()) {  // the empty line after the last chunk's trailer
                    m_complete = true;
                }
                break;
            }
        }
    }
}

void SocketRequest::fail() {
    m_failed = true;
    if (m_socket) m_socket->abort();
}

bool SocketRequest::isOpen() const {
    return m_socket != nullptr;
}

int SocketRequest::status() const {
    return m_socket ? m_status : 0;
}

QUrl SocketRequest::finalUrl() const {
    return m_socket ? m_url : QUrl();
}

QString SocketRequest::contentType() const {
    return QString::fromLatin1(header("Content-Type"));
}

qint64 SocketRequest::contentLength() const {
    const QByteArray text = header("Content-Length");
    if (text.isNull()) return -1;
    bool ok = false;
    const qint64 length = text.trimmed().toLongLong(&ok);
    return ok && length >= 0 ? length : -2;
}

qint64 SocketRequest::read(char* buffer, qint64 max) {
    if (!m_socket || m_failed) return -1;
    const auto enough = [this, max] {
        pump();
        return bodyEnded() || m_body.size() >= max;
    };
    if (!waitFor(enough, g_limits.silenceMs, true)) {
        fail();
        return -1;
    }
    // A transfer that broke off is a failure, whatever of it arrived.
    if (m_failed) return -1;
    const qint64 n = qMin<qint64>(max, m_body.size());
    memcpy(buffer, m_body.constData(), size_t(n));
    m_body.remove(0, n);
    return n;  // 0: the end of the body
}

void SocketRequest::close() {
    if (m_socket) m_socket->abort();
    m_socket.reset();
    m_raw.clear();
    m_body.clear();
    m_headers.clear();
    m_status = 0;
}

// Runs a local event loop until `done` holds. The limit counts from the start, or from the latest arrival
// of data when restartOnData is set, and never goes past the deadline. False when the limit ran out first
// or the request was cancelled.
bool SocketRequest::waitFor(const std::function<bool()>& done, int limitMs, bool restartOnData) {
    if (m_cancelled) return false;
    if (done()) return true;
    if (remainingMs(limitMs) <= 0) return false;
    QEventLoop loop;
    m_loop = &loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    const auto check = [&] {
        if (done()) loop.quit();
    };
    QTcpSocket* socket = m_socket.get();
    QObject::connect(socket, &QTcpSocket::readyRead, &loop, [&] {
        if (restartOnData) timer.start(remainingMs(limitMs));
        check();
    });
    QObject::connect(socket, &QTcpSocket::connected, &loop, check);
    QObject::connect(socket, &QTcpSocket::disconnected, &loop, check);
    QObject::connect(socket, &QTcpSocket::errorOccurred, &loop, check);
    if (auto* tls = qobject_cast<QSslSocket*>(socket))
        QObject::connect(tls, &QSslSocket::encrypted, &loop, check);
    timer.start(remainingMs(limitMs));
    loop.exec(m_interactive ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    m_loop = nullptr;
    return !timedOut && !m_cancelled && done();
}

class SocketBackend final : public Backend {
public:
    void setLimits(const Limits& limits) override { g_limits = limits; }
    bool isOnline() override { return onlineNow(); }
    bool canReach(const QUrl& url) override { return reachable(url); }
    BackendRequest* newRequest() override { return new SocketRequest; }
};

}  // namespace
}  // namespace http

extern "C" Q_DECL_EXPORT http::Backend* pelora_http_backend() {
    static http::SocketBackend backend;
    return &backend;
}
