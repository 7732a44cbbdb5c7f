#include "support/http_server.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <memory>

QByteArray notFoundPage() {
    return "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">\n<html><head><title>404 Not "
           "Found</title></head>"
           "<body><h1>Not Found</h1></body></html>\n";
}

class TestHttpServer::Worker : public QObject {
public:
    Worker() : m_server(new QTcpServer(this)) {
        connect(m_server, &QTcpServer::newConnection, this, &Worker::accept);
    }

    void start() { m_server->listen(QHostAddress::LocalHost, 0); }
    void stop() {
        m_server->close();
        for (const QPointer<QTcpSocket>& s : m_sockets)
            if (s) s->abort();
    }
    quint16 port() const { return m_server->serverPort(); }

    mutable QMutex mutex;
    QHash<QString, Response> routes;
    QStringList paths;
    QList<QByteArray> agents;

private:
    void accept() {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            m_sockets.append(socket);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void readRequest(QTcpSocket* socket) {
        QByteArray& pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0) return;
        const QList<QByteArray> lines = pending.left(end).split('\n');
        pending.clear();
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        const QString path = QString::fromLatin1(requestLine.value(1));
        QByteArray agent;
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("user-agent:")) agent = line.mid(11).trimmed();
        Response response;
        bool known = false;
        {
            QMutexLocker lock(&mutex);
            paths.append(path);
            agents.append(agent);
            known = routes.contains(path);
            if (known) response = routes.value(path);
        }
        if (!known) {
            response.status = 404;
            response.body = notFoundPage();
            response.contentType = "text/html; charset=iso-8859-1";
        }
        answer(socket, response);
    }

    void answer(QTcpSocket* socket, const Response& r) {
        if (r.stall) return;
        if (!r.interim.isEmpty()) socket->write(r.interim);
        QByteArray head = "HTTP/1.1 " + QByteArray::number(r.redirectTo.isEmpty() ? r.status : 302) + " " +
                          reason(r.redirectTo.isEmpty() ? r.status : 302) + "\r\n";
        if (!r.redirectTo.isEmpty()) {
            const QString location =
                r.redirectTo.startsWith(QLatin1Char('/'))
                    ? QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(r.redirectTo)
                    : r.redirectTo;
            head += "Location: " + location.toLatin1() + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            socket->write(head);
            socket->disconnectFromHost();
            return;
        }
        if (!r.contentType.isEmpty()) head += "Content-Type: " + r.contentType + "\r\n";
        if (r.chunked)
            head += "Transfer-Encoding: chunked\r\n";
        else if (!r.lengthHeader.isEmpty())
            head += "Content-Length: " + r.lengthHeader + "\r\n";
        else if (!r.omitLength)
            head += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
        head += "Connection: close\r\n\r\n";
        socket->write(head);
        if (r.chunked) {
            writeChunked(socket, r);
            return;
        }
        if (r.trickleMs > 0) {
            trickle(socket, r.body, r.trickleMs);
            return;
        }
        if (r.stallAfter >= 0) {
            socket->write(r.body.left(r.stallAfter));
            return;
        }
        socket->write(r.cutAfter >= 0 ? r.body.left(r.cutAfter) : r.body);
        socket->disconnectFromHost();
    }

    // The body in chunks of 1000 bytes and the last chunk; cut short (no last chunk) after cutAfter bytes.
    static void writeChunked(QTcpSocket* socket, const Response& r) {
        const QByteArray body = r.cutAfter >= 0 ? r.body.left(r.cutAfter) : r.body;
        for (qsizetype at = 0; at < body.size(); at += 1000) {
            const QByteArray piece = body.mid(at, 1000);
            socket->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
        }
        if (r.cutAfter < 0) socket->write("0\r\n\r\n");
        socket->disconnectFromHost();
    }

    // One byte, then the next after `intervalMs`, until the body is sent; then the connection closes.
    void trickle(QTcpSocket* socket, const QByteArray& body, int intervalMs) {
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent] {
            if (*sent >= body.size()) {
                timer->stop();
                socket->disconnectFromHost();
                return;
            }
            socket->write(body.mid((*sent)++, 1));
        });
        timer->start(intervalMs);
    }

    static QByteArray reason(int status) {
        switch (status) {
            case 200:
                return "OK";
            case 302:
                return "Found";
            case 404:
                return "Not Found";
            case 500:
                return "Internal Server Error";
            default:
                return "Status";
        }
    }

    QTcpServer* m_server;
    QList<QPointer<QTcpSocket>> m_sockets;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

TestHttpServer::TestHttpServer() : m_thread(std::make_unique<QThread>()), m_worker(new Worker) {
    m_worker->moveToThread(m_thread.get());
    m_thread->start();
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker] { w->start(); }, Qt::BlockingQueuedConnection);
}

TestHttpServer::~TestHttpServer() {
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker] { w->stop(); }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

void TestHttpServer::route(const QString& path, const Response& response) {
    QMutexLocker lock(&m_worker->mutex);
    m_worker->routes.insert(path, response);
}

QString TestHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_worker->port());
}

QString TestHttpServer::url(const QString& path) const {
    return baseUrl() + path;
}

QStringList TestHttpServer::requestedPaths() const {
    QMutexLocker lock(&m_worker->mutex);
    return m_worker->paths;
}

QList<QByteArray> TestHttpServer::userAgents() const {
    QMutexLocker lock(&m_worker->mutex);
    return m_worker->agents;
}
