// 취소 of a statement that the server holds, when the kill comes before the statement reached the server (a
// loaded machine): the program's first kill finds nothing to end, and the statement that arrives after it
// must still be ended on the server by a kill, with the connection kept, not by giving the connection up.
#include "db/cmysql.h"
#include "platform/blocking_wait.h"
#include "support/eventually.h"
#include "support/own_server.h"
#include "support/test_db.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>
#include <mysql.h>

#include <cstdlib>
#include <functional>
#include <thread>

namespace {

// Asks to cancel first and sends the statement only once the server has taken that first kill.
class EarlyCancelWaiter : public blocking_wait::Waiter {
public:
    explicit EarlyCancelWaiter(const OwnServer& server) : m_server(server) {}
    void run(const std::function<void()>& work, const std::function<void()>& cancel) override {
        const int before = m_server.kills();
        std::thread canceller(cancel);
        m_firstKillSeen = eventually([&] { return m_server.kills() > before; }, 20000);
        std::thread worker(work);
        worker.join();
        canceller.join();
    }
    bool m_firstKillSeen = false;

private:
    const OwnServer& m_server;
};

// The statements of the server that wait on the locked table.
int waitingOnTheLock(MYSQL* client) {
    const char* sql =
        "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE '%FROM t_direction%' "
        "AND INFO NOT LIKE '%PROCESSLIST%'";
    int count = -1;
    if (mysql_query(client, sql) == 0)
        if (MYSQL_RES* r = mysql_store_result(client)) {
            if (MYSQL_ROW row = mysql_fetch_row(r); row && row[0]) count = atoi(row[0]);
            mysql_free_result(r);
        }
    return count;
}

TEST(CancelledStatement, AKillThatCameTooEarlyIsRepeatedUntilTheStatementEndsOnTheServer) {
    OwnServer server;
    MYSQL* holder = server.client();
    ASSERT_NE(holder, nullptr);
    ASSERT_EQ(mysql_query(holder, "LOCK TABLES t_direction WRITE"), 0) << mysql_error(holder);
    MYSQL* observer = server.client();
    ASSERT_NE(observer, nullptr);

    cMySQL conn;
    ASSERT_TRUE(server.connect(conn));
    conn.setQuiet(true);
    const std::int32_t thread = conn.thread_id();
    EarlyCancelWaiter waiter(server);
    blocking_wait::setWaiter(&waiter);
    QElapsedTimer clock;
    clock.start();
    const RecordsetPtr rs = conn.query(QStringLiteral("SELECT COUNT(*) FROM t_direction"));
    blocking_wait::setWaiter(nullptr);

    EXPECT_TRUE(waiter.m_firstKillSeen);
    EXPECT_TRUE(rs == nullptr);
    EXPECT_TRUE(conn.statementCancelled());
    EXPECT_LT(clock.elapsed(), 30000);
    // Ended on the server while the table is still locked: nothing of the program waits there.
    EXPECT_TRUE(eventually([&] { return waitingOnTheLock(observer) == 0; }, 5000))
        << waitingOnTheLock(observer) << " statements still wait on the server";
    // The statement was ended, not the connection: the next statement runs on the same server thread.
    mysql_close(holder);
    const RecordsetPtr after = conn.query(QStringLiteral("SELECT CONNECTION_ID()"));
    ASSERT_TRUE(after != nullptr);
    EXPECT_EQ(after->Fields(0).Value().toInt(), thread);
    EXPECT_EQ(conn.thread_id(), thread);
    mysql_close(observer);
}

}  // namespace
