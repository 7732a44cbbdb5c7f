#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <memory>

// HTTP for the start-up: the server-address fetch and the update download. Calls are synchronous (a local
// event loop runs while they wait, so windows keep painting) and bounded in time: a server that cannot be
// reached within the connect limit, or that falls silent for the silence limit, ends the call as a failure.
// Redirections are followed (never from https to http); https certificates are verified.
// HTTP/1.1 is spoken here directly over a socket rather than through Qt's network access manager, because
// that one ends a chunked body that breaks off before its last chunk as if it were complete: a body must
// count as complete only with its declared length or its last chunk.
// The client itself is a module of its own (the only part of the program that links Qt Network), loaded on
// the first call: most starts speak no HTTP and need not load Qt Network and the libraries behind it. The
// module is looked for in $PELORA_HTTP_MODULE when that is set (a packager's or a test's own place), else
// in <program folder>/../lib/.../peloraorder/ as installed, then where the build tree made it. When it
// cannot be loaded, no server can be reached and every request fails, as with a server that cannot be
// reached, and loadError() says why.
namespace http {

class BackendRequest;

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
// Why the HTTP module could not be loaded (the file looked for and the system's reason), empty when it is
// loaded or has not been needed yet. The callers add it to their own failure message.
QString loadError();

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
    void setInteractive(bool interactive);
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
    // The module's request, made on construction; none when the module could not be loaded, and then
    // every request fails as if its server could not be reached.
    std::unique_ptr<BackendRequest> m_impl;
};

}  // namespace http
