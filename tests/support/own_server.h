#pragma once

#include "db/cmysql.h"
#include "support/env_file.h"
#include "support/test_db.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <mysql.h>

#include <csignal>

// A throwaway server of the test's own (scripts/dbserver in a temporary folder): it can be restarted,
// which gives a new server instance behind the same socket, or stopped in its tracks.
class OwnServer {
public:
    OwnServer() { start(); }
    ~OwnServer() {
        resume();
        QProcess::execute(script(), {QStringLiteral("stop"), m_dir.path()});
    }
    void start() {
        ASSERT_EQ(QProcess::execute(script(), {QStringLiteral("start"), m_dir.path()}), 0);
        const QHash<QString, QString> env = readEnvFile(m_dir.path() + QStringLiteral("/env"));
        m_socket = env.value(QStringLiteral("DB_SOCKET"));
        m_port = env.value(QStringLiteral("DB_PORT")).toInt();
        ASSERT_FALSE(m_socket.isEmpty()) << "the own server wrote no env file";
    }
    // SIGSTOP and SIGCONT: a server that hangs, and the same server going on.
    void pause() { signal(SIGSTOP); }
    void resume() { signal(SIGCONT); }
    QString socket() const { return m_socket; }
    // Its TCP port on 127.0.0.1.
    int port() const { return m_port; }

    // A raw client of the server, apart from the program's connection.
    MYSQL* client() const {
        const testdb::Params& p = testdb::params();
        MYSQL* m = mysql_init(nullptr);
        if (!mysql_real_connect(m, nullptr, p.user.toUtf8().constData(), p.password.toUtf8().constData(),
                                p.database.toUtf8().constData(), 0, m_socket.toUtf8().constData(), 0)) {
            ADD_FAILURE() << "cannot reach the own server: " << mysql_error(m);
            mysql_close(m);
            return nullptr;
        }
        return m;
    }
    // The value of one server status variable.
    QString status(const QString& name) const {
        MYSQL* m = client();
        if (!m) return QString();
        QString value;
        const QByteArray bytes = "SHOW GLOBAL STATUS LIKE '" + name.toUtf8() + "'";
        if (mysql_real_query(m, bytes.constData(), bytes.size()) == 0)
            if (MYSQL_RES* r = mysql_store_result(m)) {
                if (MYSQL_ROW row = mysql_fetch_row(r); row && row[1]) value = QString::fromUtf8(row[1]);
                mysql_free_result(r);
            }
        mysql_close(m);
        return value;
    }
    int kills() const { return status(QStringLiteral("Com_kill")).toInt(); }

    // The program's connection to this server, through its socket.
    bool connect(cMySQL& conn) const {
        const testdb::Params& p = testdb::params();
        return conn.real_connect(QStringLiteral("localhost"), p.user, p.password, p.database, 3306, m_socket,
                                 0, false);
    }

private:
    static QString script() { return testdb::sourcePath(QStringLiteral("scripts/dbserver")); }
    // The server's process id from its pid file; waits (ten seconds at most) for the file to be written.
    int pid() const {
        QElapsedTimer clock;
        clock.start();
        do {
            QFile file(m_dir.path() + QStringLiteral("/mariadbd.pid"));
            if (file.open(QIODevice::ReadOnly))
                if (const int id = file.readAll().trimmed().toInt(); id > 0) return id;
            QThread::msleep(20);
        } while (clock.elapsed() < 10000);
        ADD_FAILURE() << "the own server wrote no pid file";
        return 0;
    }
    // Sends the signal and waits (ten seconds at most) until the process is stopped or running as asked,
    // so that a loaded machine cannot let a statement slip through before the stop takes hold.
    void signal(int sig) {
        const int id = pid();
        if (id <= 0) return;
        ::kill(id, sig);
        const char wanted = sig == SIGSTOP ? 'T' : 'R';
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(id));
            if (!stat.open(QIODevice::ReadOnly)) return;  // the process is gone
            const QByteArray text = stat.readAll();
            const qsizetype close = text.lastIndexOf(')');
            const char state = close >= 0 && close + 2 < text.size() ? text[close + 2] : '?';
            if ((wanted == 'T') == (state == 'T' || state == 't')) return;
            QThread::msleep(10);
        }
        ADD_FAILURE() << "the own server did not follow signal " << sig;
    }
    QTemporaryDir m_dir;
    QString m_socket;
    int m_port = 0;
};
