#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QEventLoop;
class QTcpSocket;

// HTTP for the start-up: the server-address fetch and the update download. Calls are synchronous (a local
// event loop runs while they wait, so windows keep painting) and bounded in time: a server that cannot be
// reached within the connect limit, or that falls silent for the silence limit, ends the call as a failure.
// Redirections are followed (never from https to http); https certificates are verified.
// HTTP/1.1 is spoken here directly over a socket rather than through Qt's network access manager, because
// that one ends a chunked body that breaks off before its last chunk as if it were complete: a body must
// count as complete only with its declared length or its last chunk.
namespace http {

struct Limits {
    int connectMs = 10000;       // from the start of a request until the request has been sent
    int silenceMs = 30000;       // longest wait for the next response bytes
    int smallRequestMs = 20000;  // the whole of a small request (a server address file), however it trickles
};
Limits limits();
// Tests shorten the limits.
void setLimits(const Limits& limits);

// Whether the machine has a network connection. False only when the platform says it is disconnected.
bool isOnline();
// Whether a TCP connection to the URL's server (its port, or 80/443 by scheme) opens within the connect
// limit.
bool canReach(const QUrl& url);

// One GET request: open, then read the body in pieces.
class Request {
public:
    Request();
    ~Request();
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;

    // From now on, every wait of this request also ends when `ms` milliseconds have passed: a small
    // request must not last for as long as a server trickles one byte at a time.
    void setDeadline(int ms);
    // Lets the user's input through while the request waits (a progress window with a cancel button);
    // without it the program's windows take no input during a wait.
    void setInteractive(bool interactive) { m_interactive = interactive; }
    // Aborts the transfer from within a wait (a cancel button): the waiting call fails at once.
    void cancel();

    // Sends the request and waits for the response headers. False when the URL is invalid or the server
    // cannot be reached, refuses, fails TLS or stays silent; the request is then closed.
    bool open(const QUrl& url, const QByteArray& userAgent, bool bypassCache);
    bool isOpen() const;
    // The HTTP status of the response (0 before one arrived).
    int status() const;
    // The URL that answered, after redirections.
    QUrl finalUrl() const;
    // The response's content type, empty when it has none.
    QString contentType() const;
    // The announced body length: -1 when the response names none, -2 when the header is not a number.
    qint64 contentLength() const;
    // Reads up to `max` bytes, waiting until that many arrived or the body ended. Returns the bytes read
    // (0 at the end of the body), or -1 when the transfer failed or fell silent before that. A transfer
    // that broke off (a body shorter than its length, a chunked body without its last chunk, a lost
    // connection) fails as a whole: what did arrive is not handed out as if it were the end.
    qint64 read(char* buffer, qint64 max);
    // Aborts and releases the request.
    void close();

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

}  // namespace http
