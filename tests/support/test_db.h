#pragma once

#include <QString>
#include <QStringList>

// The database server that the ctest run started (scripts/dbserver; its folder in PELORA_TESTDB_DIR).
namespace testdb {

struct Params {
    QString socket;
    int port = 0;
    QString user;
    QString password;
    QString database;
};

// Reads the server's env file and points the client library's default socket (MYSQL_UNIX_PORT) at it,
// so that host "localhost" reaches the test server. The database is the test program's own
// (pelora_<program>), made from db/schema.sql by the first test of the program that asks for it; programs
// that run side by side share the server and nothing else. Fails the test when no server runs.
const Params& params();

// The database of this test program, named after the program's file: programs that ctest runs side by
// side never see each other's rows. A server that a test starts of its own (scripts/dbserver) makes the
// same database, as the main passes the name on to it (PELORA_TESTDB_NAME).
QString programDatabase();

// A separate connection for setting up and checking data; texts travel as code page 949 bytes.
void exec(const QString& sql);
void execAll(const QStringList& statements);
// The first value of the first row; an empty text for no row or NULL.
QString scalar(const QString& sql);
// Empties the tables.
void truncate(const QStringList& tables);
// The tables of buyers, their directions and order lines, with what the lines refer to: what a test of
// the order lists or the order sheet fills and empties.
inline const QStringList kOrderDataTables = {
    QStringLiteral("t_buyer"),   QStringLiteral("t_direction"),     QStringLiteral("t_ordering"),
    QStringLiteral("t_product"), QStringLiteral("t_orderuser_sub"), QStringLiteral("t_orderuser"),
    QStringLiteral("t_order"),   QStringLiteral("t_client"),        QStringLiteral("t_allocate_user"),
    QStringLiteral("t_car"),
};
// Opens the session connection (DBInit) on the test server as the test user.
bool openSession();
// A file of the source tree (db/schema.sql, ...).
QString sourcePath(const QString& relative);

}  // namespace testdb
