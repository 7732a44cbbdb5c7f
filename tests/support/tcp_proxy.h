#pragma once

#include <QString>

#include <memory>

// A byte-forwarding TCP proxy on 127.0.0.1 for the tests, in its own thread: clients connect to port()
// and reach the target server through it. The tests use it to break a link the way a network does, while
// the server on the other side knows nothing of it.
class TcpProxy {
public:
    TcpProxy(const QString& targetHost, quint16 targetPort);
    ~TcpProxy();
    TcpProxy(const TcpProxy&) = delete;
    TcpProxy& operator=(const TcpProxy&) = delete;

    quint16 port() const;
    // Drops the client side of every link and keeps its server side open and silent: the client sees its
    // connection lost, the server still sees an idle client. New clients are served as before.
    void cutClients();
    // Stops forwarding on every link: the client's bytes reach the server no more, nor its answers the
    // client. Both connections stay open, like a server that stopped.
    void silence();
    // Refuses new clients (and drops the links) until resume(): a server that cannot be reached.
    void refuse();
    void resume();

    class Worker;

private:
    std::unique_ptr<class QThread> m_thread;
    Worker* m_worker = nullptr;
};
