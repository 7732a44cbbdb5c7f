// A connection that is lost: which server thread the reconnect may end, and how long a silent server may
// hold the program. Against real servers: the run's test server behind a proxy that can break the link,
// and servers of the test's own that it restarts or stops.
#include "db/cmysql.h"
#include "support/eventually.h"
#include "support/own_server.h"
#include "support/scripted_dialogs.h"
#include "support/tcp_proxy.h"
#include "support/test_db.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <mysql.h>

#include <csignal>
#include <functional>

namespace {

bool threadExists(unsigned long id) {
    return testdb::scalar(
               QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1").arg(id)) !=
           QLatin1String("0");
}

TEST(LostConnection, ALinkThatBrokeWhileItsServerThreadLivesHasThatThreadEnded) {
    // The program reaches the test server through a proxy; the proxy drops the program's side of the link
    // and keeps the server's side open, so the old server thread stays, idle, as after a network failure.
    const testdb::Params& p = testdb::params();
    TcpProxy proxy(QStringLiteral("127.0.0.1"), quint16(p.port));
    cMySQL conn;
    ASSERT_TRUE(conn.real_connect(QStringLiteral("127.0.0.1"), p.user, p.password, p.database, proxy.port(),
                                  QString(), 0, false));
    const unsigned long old = conn.thread_id();
    proxy.cutClients();
    ASSERT_TRUE(threadExists(old));

    RecordsetPtr rs = conn.query(QStringLiteral("SELECT 6 * 7"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Fields(0).Value(), QStringLiteral("42"));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_NE(static_cast<unsigned long>(conn.thread_id()), old);
    // The old thread still held the connection's own lock: it was this program's, and it is ended.
    EXPECT_TRUE(eventually([&] { return !threadExists(old); }));
}

TEST(LostConnection, AfterARestartTheThreadIdOfAnotherClientIsLeftAlone) {
    OwnServer server;
    // Ids count up from the server's start: a few short connections first, so that the program's id is one
    // the restarted server will give again.
    for (int i = 0; i < 3; ++i) mysql_close(server.client());
    cMySQL conn;
    ASSERT_TRUE(server.connect(conn));
    const unsigned long id = conn.thread_id();

    // A handle that never connected has no server thread to end: its reconnect kills nothing (no KILL 0).
    cMySQL never;
    never.setHost(QStringLiteral("localhost"));
    never.setUser(testdb::params().user);
    never.setPassword(testdb::params().password);
    never.setDb(testdb::params().database);
    never.setUnix_socket(server.socket());
    const int killsBefore = server.kills();
    EXPECT_TRUE(never.query(QStringLiteral("SELECT 1")));
    EXPECT_EQ(server.kills(), killsBefore);

    server.start();  // stops the server and starts a new one behind the same socket
    // Another client (same account, as every copy of the program may use) gets the program's old id.
    MYSQL* other = nullptr;
    std::vector<MYSQL*> spare;
    for (int i = 0; i < 20 && !other; ++i) {
        MYSQL* m = server.client();
        ASSERT_NE(m, nullptr);
        if (mysql_thread_id(m) == id)
            other = m;
        else
            spare.push_back(m);
        ASSERT_LE(mysql_thread_id(m), id) << "the restarted server did not give the id again";
    }
    for (MYSQL* m : spare) mysql_close(m);
    ASSERT_NE(other, nullptr);

    RecordsetPtr rs = conn.query(QStringLiteral("SELECT 1"));
    EXPECT_TRUE(rs);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    // The other client's session lives on: its statement runs.
    EXPECT_EQ(mysql_query(other, "SELECT 1"), 0) << mysql_error(other);
    if (MYSQL_RES* r = mysql_store_result(other)) mysql_free_result(r);
    mysql_close(other);
}

class TimeLimits : public testing::Test {
protected:
    void SetUp() override { cMySQL::setTimeLimits({1, 1, 1}); }
    void TearDown() override { cMySQL::setTimeLimits({}); }
};

TEST_F(TimeLimits, AStoppedServerEndsTheStatementWithOneBox) {
    OwnServer server;
    cMySQL conn;
    ASSERT_TRUE(server.connect(conn));
    server.pause();
    testDialogs().answer(Dialogs::ResultOk);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(conn.query(QStringLiteral("SELECT 1")));
    // The statement waits out its read limit, the reconnect its connect limit; the box is the reconnect's.
    EXPECT_LT(clock.elapsed(), 15000);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_TRUE(testDialogs().last().text.contains(QStringLiteral("데이터베이스 서버에 접속할 수 없습니다.")))
        << testDialogs().last().text.toStdString();
    EXPECT_TRUE(conn.connectionLost());
    EXPECT_EQ(conn.affected_rows(), -1);

    // The server goes on: the next statement reconnects.
    server.resume();
    EXPECT_TRUE(conn.query(QStringLiteral("SELECT 1")));
}

TEST_F(TimeLimits, APortThatNeverGreetsEndsTheConnectWithItsBox) {
    QTcpServer mute;  // accepts connections (the system does) and never says a word
    ASSERT_TRUE(mute.listen(QHostAddress::LocalHost));
    cMySQL conn;
    testDialogs().answer(Dialogs::ResultOk);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(conn.real_connect(QStringLiteral("127.0.0.1"), QStringLiteral("u"), QStringLiteral("p"),
                                   QStringLiteral("d"), mute.serverPort(), QString(), 0, false));
    EXPECT_LT(clock.elapsed(), 8000);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("Error 20")))
        << testDialogs().last().text.toStdString();
}

TEST(WaitCursor, ShowsWhileAStatementRuns) {
    const int before = testDialogs().waitCursorShows();
    const testdb::Params& p = testdb::params();
    cMySQL conn;
    ASSERT_TRUE(conn.real_connect(QStringLiteral("localhost"), p.user, p.password, p.database, 3306, p.socket,
                                  0, false));
    conn.query(QStringLiteral("SELECT 1"));
    EXPECT_GT(testDialogs().waitCursorShows(), before);
    EXPECT_EQ(testDialogs().waitCursorDepth(), 0);
}

}  // namespace
