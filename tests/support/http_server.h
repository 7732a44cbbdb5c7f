#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// A real HTTP server on 127.0.0.1 for the tests, running in its own thread so that the program's
// synchronous HTTP calls can wait on it. Each path answers as it was told: any status, a body with or
// without its length, a redirection, silence, or a body cut short. Unknown paths get a 404 HTML page.
class TestHttpServer {
public:
    struct Response {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/octet-stream";
        bool omitLength = false;  // no Content-Length: the body ends when the connection closes
        QByteArray lengthHeader;  // a Content-Length text of its own ("abc"), instead of the real one
        QString redirectTo;       // answer 302 with this Location (a path of this server, or a URL)
        bool stall = false;       // read the request, then send nothing and keep the connection open
        qint64 cutAfter = -1;     // announce the whole length, send this many body bytes, then close
        qint64 stallAfter = -1;   // announce the whole length, send this many body bytes, then fall silent
        bool chunked = false;     // chunked transfer coding (no length); with cutAfter, no last chunk
        int trickleMs = 0;        // send the body one byte at a time, this many milliseconds apart
        QByteArray interim;       // informational answers (1xx heads) sent before the final one
    };

    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    void route(const QString& path, const Response& response);
    // "http://127.0.0.1:<port>" and that followed by `path`.
    QString baseUrl() const;
    QString url(const QString& path) const;
    // The paths and user agents of the requests received so far, in order.
    QStringList requestedPaths() const;
    QList<QByteArray> userAgents() const;

    class Worker;

private:
    std::unique_ptr<class QThread> m_thread;
    Worker* m_worker = nullptr;
};

// A 404 page as web servers send it: an HTML document that begins with "<!".
QByteArray notFoundPage();
