#include "support/tcp_proxy.h"

#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

class TcpProxy::Worker : public QObject {
public:
    Worker(const QString& host, quint16 port) : m_host(host), m_port(port), m_server(new QTcpServer(this)) {
        connect(m_server, &QTcpServer::newConnection, this, &Worker::accept);
    }

    void start() { m_server->listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_listenPort; }
    void rememberPort() { m_listenPort = m_server->serverPort(); }

    void cutClients() {
        for (Link& link : m_links) {
            if (link.client) {
                link.client->disconnect(this);
                link.client->abort();
                link.client->deleteLater();
            }
            // The server side stays open; what the server still sends goes nowhere.
            if (link.server) link.server->disconnect(this);
        }
        m_kept.append(m_links);
        m_links.clear();
    }

    void silence() { m_silent = true; }

    void refuse() {
        m_server->close();
        for (Link& link : m_links) {
            if (link.client) link.client->abort();
            if (link.server) link.server->abort();
        }
        m_links.clear();
    }

    void resume() {
        m_silent = false;
        if (!m_server->isListening()) m_server->listen(QHostAddress::LocalHost, m_listenPort);
    }

    void stop() {
        m_server->close();
        for (QList<Link>* links : {&m_links, &m_kept})
            for (Link& link : *links) {
                if (link.client) link.client->abort();
                if (link.server) link.server->abort();
            }
    }

private:
    struct Link {
        QPointer<QTcpSocket> client;
        QPointer<QTcpSocket> server;
    };

    void accept() {
        while (QTcpSocket* client = m_server->nextPendingConnection()) {
            auto* server = new QTcpSocket(this);
            m_links.append(Link{client, server});
            server->connectToHost(m_host, m_port);
            // Bytes from either side go to the other, unless the proxy went silent.
            connect(client, &QTcpSocket::readyRead, this, [this, client, server] {
                if (m_silent) return;
                server->write(client->readAll());
            });
            connect(server, &QTcpSocket::readyRead, this, [this, client, server] {
                if (m_silent) return;
                client->write(server->readAll());
            });
            connect(client, &QTcpSocket::disconnected, this, [server] { server->disconnectFromHost(); });
            connect(server, &QTcpSocket::disconnected, this, [client] { client->disconnectFromHost(); });
        }
    }

    QString m_host;
    quint16 m_port;
    QTcpServer* m_server;
    quint16 m_listenPort = 0;
    bool m_silent = false;
    QList<Link> m_links;
    QList<Link> m_kept;  // links whose client side was cut: their server side stays open
};

namespace {
template <typename F>
void inWorker(TcpProxy::Worker* worker, F f) {
    QMetaObject::invokeMethod(worker, f, Qt::BlockingQueuedConnection);
}
}  // namespace

TcpProxy::TcpProxy(const QString& targetHost, quint16 targetPort)
    : m_thread(std::make_unique<QThread>()), m_worker(new Worker(targetHost, targetPort)) {
    m_worker->moveToThread(m_thread.get());
    m_thread->start();
    inWorker(m_worker, [w = m_worker] {
        w->start();
        w->rememberPort();
    });
}

TcpProxy::~TcpProxy() {
    inWorker(m_worker, [w = m_worker] { w->stop(); });
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

quint16 TcpProxy::port() const {
    return m_worker->port();
}

void TcpProxy::cutClients() {
    inWorker(m_worker, [w = m_worker] { w->cutClients(); });
}

void TcpProxy::silence() {
    inWorker(m_worker, [w = m_worker] { w->silence(); });
}

void TcpProxy::refuse() {
    inWorker(m_worker, [w = m_worker] { w->refuse(); });
}

void TcpProxy::resume() {
    inWorker(m_worker, [w = m_worker] { w->resume(); });
}
