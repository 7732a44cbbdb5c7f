#include "support/test_db.h"

#include "db/mysql_func.h"
#include "platform/cp949.h"
#include "support/env_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <mysql.h>

#include <cstdlib>
#include <memory>

namespace testdb {

namespace {

bool query(MYSQL* m, const QByteArray& sql) {
    if (mysql_real_query(m, sql.constData(), sql.size()) == 0) {
        // Every result of a batch is read, or the connection refuses the next statement.
        do {
            if (MYSQL_RES* r = mysql_store_result(m)) mysql_free_result(r);
        } while (mysql_next_result(m) == 0);
        if (mysql_errno(m) == 0) return true;
    }
    ADD_FAILURE() << "preparing the test database failed: " << mysql_error(m) << "\n  "
                  << sql.left(200).toStdString();
    return false;
}

// Creates the program's database from the schema once: every test of a program is a process of its own,
// and two of them may start together, so a server-side lock lets one build it while the other waits.
void createDatabase(const Params& p) {
    QFile schema(sourcePath(QStringLiteral("db/schema.sql")));
    if (!schema.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << schema.fileName().toStdString();
        return;
    }
    MYSQL* m = mysql_init(nullptr);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
    if (!mysql_real_connect(m, nullptr, p.user.toUtf8().constData(), p.password.toUtf8().constData(), nullptr,
                            0, p.socket.toUtf8().constData(), CLIENT_MULTI_STATEMENTS)) {
        ADD_FAILURE() << "cannot reach the test database server: " << mysql_error(m);
        mysql_close(m);
        return;
    }
    const QByteArray db = p.database.toUtf8();
    if (query(m, "SELECT GET_LOCK('" + db + "', 120)")) {
        MYSQL_RES* r = nullptr;
        const QByteArray exists =
            "SELECT 1 FROM information_schema.SCHEMATA WHERE SCHEMA_NAME = '" + db + "'";
        bool found = false;
        if (mysql_real_query(m, exists.constData(), exists.size()) == 0 && (r = mysql_store_result(m))) {
            found = mysql_num_rows(r) > 0;
            mysql_free_result(r);
        }
        // The schema's bytes go as they are, as the command-line client sends the file.
        if (!found && query(m, "CREATE DATABASE `" + db + "` CHARACTER SET latin1 COLLATE latin1_bin") &&
            query(m, "USE `" + db + "`"))
            query(m, schema.readAll());
        query(m, "SELECT RELEASE_LOCK('" + db + "')");
    }
    mysql_close(m);
}

Params readParams() {
    Params p;
    const QString dir = qEnvironmentVariable("PELORA_TESTDB_DIR");
    const QHash<QString, QString> env = readEnvFile(dir + QStringLiteral("/env"));
    if (dir.isEmpty() || env.isEmpty()) {
        ADD_FAILURE() << "no test database server: run the tests through ctest (PELORA_TESTDB_DIR="
                      << dir.toStdString() << ")";
        return p;
    }
    p.socket = env.value(QStringLiteral("DB_SOCKET"));
    p.port = env.value(QStringLiteral("DB_PORT")).toInt();
    p.user = env.value(QStringLiteral("DB_USER"));
    p.password = env.value(QStringLiteral("DB_PASSWORD"));
    p.database = env.value(QStringLiteral("DB_NAME"));
    // "localhost" on port 0 reaches this server: through its socket on Linux, over TCP on Windows (the
    // Windows tests run under Wine on this machine).
    qputenv("MYSQL_UNIX_PORT", p.socket.toLocal8Bit());
    qputenv("MYSQL_TCP_PORT", QByteArray::number(p.port));
    p.database = programDatabase();
    createDatabase(p);
    return p;
}

struct Closer {
    void operator()(MYSQL* m) const { mysql_close(m); }
};

MYSQL* admin() {
    static std::unique_ptr<MYSQL, Closer> conn;
    if (!conn) {
        const Params& p = params();
        MYSQL* m = mysql_init(nullptr);
        mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
        if (!mysql_real_connect(m, nullptr, p.user.toUtf8().constData(), p.password.toUtf8().constData(),
                                p.database.toUtf8().constData(), 0, p.socket.toUtf8().constData(), 0)) {
            ADD_FAILURE() << "cannot reach the test database: " << mysql_error(m);
            mysql_close(m);
            return nullptr;
        }
        conn.reset(m);
    }
    return conn.get();
}

MYSQL_RES* run(const QString& sql) {
    MYSQL* m = admin();
    if (!m) return nullptr;
    const QByteArray bytes = cp949::encode(sql);
    if (mysql_real_query(m, bytes.constData(), bytes.size()) != 0) {
        ADD_FAILURE() << "test statement failed: " << mysql_error(m) << "\n  " << sql.toStdString();
        return nullptr;
    }
    return mysql_store_result(m);
}

}  // namespace

QString programDatabase() {
    QString name = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).completeBaseName();
    if (name.isEmpty() && QCoreApplication::instance())  // no /proc (Windows): the application knows
        name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    for (QChar& c : name)
        if (!c.isLetterOrNumber() || c.unicode() > 0x7F) c = QLatin1Char('_');
    return (QStringLiteral("pelora_") + name).left(64);
}

const Params& params() {
    static const Params p = readParams();
    return p;
}

void exec(const QString& sql) {
    if (MYSQL_RES* r = run(sql)) mysql_free_result(r);
}

void execAll(const QStringList& statements) {
    for (const QString& s : statements) exec(s);
}

QString scalar(const QString& sql) {
    MYSQL_RES* r = run(sql);
    if (!r) return QString();
    QString value;
    if (MYSQL_ROW row = mysql_fetch_row(r); row && row[0])
        value = cp949::decode(row[0], mysql_fetch_lengths(r)[0]);
    mysql_free_result(r);
    return value;
}

void truncate(const QStringList& tables) {
    for (const QString& t : tables) exec(QStringLiteral("TRUNCATE TABLE ") + t);
}

bool openSession() {
    const Params& p = params();
    return DBInit(QStringLiteral("localhost"), p.user, p.password, p.database);
}

QString sourcePath(const QString& relative) {
    return QStringLiteral(PELORA_SOURCE_DIR) + QLatin1Char('/') + relative;
}

}  // namespace testdb
