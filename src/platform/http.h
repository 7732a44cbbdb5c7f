#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// HTTP for the start-up: the server-address fetch and the update download. Calls are synchronous (a local
// event loop runs while they wait, so windows keep painting) and bounded in time: a server that cannot be
// reached within the connect limit, or that falls silent for the silence limit, ends the call as a failure.
// Redirections are followed; https certificates are verified.
namespace http {

struct Limits {
    int connectMs = 10000;  // from the start of a request until the request has been sent
    int silenceMs = 30000;  // longest wait for the next response bytes
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
    // (0 at the end of the body), or -1 when the transfer failed or fell silent before that.
    qint64 read(char* buffer, qint64 max);
    // Aborts and releases the request.
    void close();

private:
    bool waitFor(const std::function<bool()>& done, int limitMs, bool restartOnData);

    std::unique_ptr<QNetworkAccessManager> m_manager;
    QPointer<QNetworkReply> m_reply;
    bool m_failed = false;
};

}  // namespace http
