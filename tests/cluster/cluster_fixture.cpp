#include "cluster_fixture.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>
#include <mysql.h>

#include <csignal>

namespace cluster {

const Env& env() {
    static const Env e = [] {
        Env v;
        QFile f(QStringLiteral(PELORA_GALERA_DIR "/env"));
        if (!f.open(QIODevice::ReadOnly)) return v;
        for (const QByteArray& raw : f.readAll().split('\n')) {
            const qsizetype eq = raw.indexOf('=');
            if (eq < 0) continue;
            const QByteArray key = raw.left(eq);
            const QString value = QString::fromUtf8(raw.mid(eq + 1).trimmed());
            if (key == "DB_HOSTS") v.hosts = value;
            if (key == "DB_USER") v.user = value;
            if (key == "DB_PASSWORD") v.password = value;
            if (key == "DB_NAME") v.database = value;
            for (int n = 0; n < 3; ++n) {
                const QByteArray digit = QByteArray::number(n + 1);
                if (key == "DB_PORT" + digit) v.port[n] = value.toInt();
                if (key == "DB_SOCKET" + digit) v.socket[n] = value;
                if (key == "DB_PID" + digit) v.pidFile[n] = value;
            }
        }
        return v;
    }();
    return e;
}

QString node(int n) {
    return QStringLiteral("127.0.0.1:%1").arg(env().port[n]);
}

st_mysql* root(int n) {
    MYSQL* m = mysql_init(nullptr);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
    const QByteArray socket = env().socket[n].toUtf8(), db = env().database.toUtf8();
    if (!mysql_real_connect(m, nullptr, "root", nullptr, db.constData(), 0, socket.constData(), 0)) {
        mysql_close(m);
        return nullptr;
    }
    return m;
}

void exec(int n, const QString& sql) {
    MYSQL* m = root(n);
    ASSERT_NE(m, nullptr) << "node " << n + 1 << " does not answer";
    const QByteArray bytes = sql.toUtf8();
    EXPECT_EQ(mysql_real_query(m, bytes.constData(), bytes.size()), 0) << mysql_error(m);
    mysql_close(m);
}

namespace {

QString firstValue(int n, const QString& sql, bool causal) {
    MYSQL* m = root(n);
    if (!m) return QStringLiteral("(no answer)");
    QString value;
    const QByteArray wait = "SET SESSION wsrep_sync_wait = 1";
    if (causal && mysql_real_query(m, wait.constData(), wait.size()) != 0) {
        value = QStringLiteral("(no causal read: %1)").arg(QString::fromLatin1(mysql_error(m)));
        mysql_close(m);
        return value;
    }
    const QByteArray bytes = sql.toUtf8();
    if (mysql_real_query(m, bytes.constData(), bytes.size()) == 0)
        if (MYSQL_RES* r = mysql_store_result(m)) {
            if (MYSQL_ROW row = mysql_fetch_row(r); row && row[0]) value = QString::fromLatin1(row[0]);
            mysql_free_result(r);
        }
    mysql_close(m);
    return value;
}

}  // namespace

QString scalar(int n, const QString& sql) {
    return firstValue(n, sql, false);
}

QString syncedScalar(int n, const QString& sql) {
    return firstValue(n, sql, true);
}

namespace {

pid_t pidOf(int n) {
    QFile f(env().pidFile[n]);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    return pid_t(f.readAll().trimmed().toInt());
}

}  // namespace

bool alive(int n) {
    const pid_t pid = pidOf(n);
    if (pid <= 0) return false;
    // A killed node stays a zombie until it is reaped, and a zombie still takes signals.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 && close + 2 < line.size() && line.at(close + 2) != 'Z' && line.at(close + 2) != 'X';
}

void ensureAllUp() {
    for (int n = 0; n < 3; ++n) {
        if (alive(n)) continue;
        ASSERT_EQ(QProcess::execute(QStringLiteral(PELORA_GALERA_SCRIPT),
                                    {QStringLiteral("node-start"), QStringLiteral(PELORA_GALERA_DIR),
                                     QString::number(n + 1)}),
                  0);
    }
}

void signal(int n, int sig) {
    const pid_t pid = pidOf(n);
    ASSERT_GT(pid, 0);
    ::kill(pid, sig);
}

}  // namespace cluster
