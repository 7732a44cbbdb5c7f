// Several servers in one address, and what a connection lost during a statement may send again. Against
// the run's test server, reached directly, through a proxy that breaks the link, and at ports where nothing
// listens.
#include "db/cmysql.h"
#include "db/host_list.h"
#include "support/scripted_dialogs.h"
#include "support/tcp_proxy.h"
#include "support/test_db.h"

#include <QTcpServer>
#include <QThread>

#include <gtest/gtest.h>
#include <mysql.h>

#include <thread>

namespace {

quint16 deadPort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost)) return 1;
    return server.serverPort();  // closed when the server goes
}

class ServerList : public testing::Test {
protected:
    void SetUp() override {
        host_deny_list::clear();
        testdb::exec(QStringLiteral("DROP TABLE IF EXISTS marks"));
        testdb::exec(
            QStringLiteral("CREATE TABLE marks (id INT PRIMARY KEY, state VARCHAR(10)) CHARSET latin1"));
        testdb::exec(QStringLiteral("INSERT INTO marks VALUES (1, ''), (2, '')"));
    }
    static QString live() { return QStringLiteral("127.0.0.1:%1").arg(testdb::params().port); }
    static bool connect(cMySQL& conn, const QString& hosts) {
        const testdb::Params& p = testdb::params();
        return conn.real_connect(hosts, p.user, p.password, p.database, 3306, QString(), 0, false);
    }
};

TEST_F(ServerList, TheFirstServerThatAnswersIsUsedAndAFailedOneIsTriedLastForAWhile) {
    const quint16 dead = deadPort();
    const QString deadHost = QStringLiteral("127.0.0.1:%1").arg(dead);
    cMySQL conn;
    ASSERT_TRUE(connect(conn, deadHost + QLatin1Char(',') + live()));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(conn.serverInUse(), live());
    EXPECT_FALSE(conn.onGaleraNode());  // the test server is a plain one: used as it is
    EXPECT_TRUE(host_deny_list::denied({QStringLiteral("127.0.0.1"), dead}));
    // While denied, the dead server is not tried first: the connect goes straight to the live one.
    cMySQL second;
    ASSERT_TRUE(connect(second, deadHost + QLatin1Char(',') + live()));
    EXPECT_EQ(second.serverInUse(), live());
}

TEST_F(ServerList, EveryServerDownGivesTheOneBoxOfOneServerDown) {
    cMySQL conn;
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_FALSE(connect(conn, QStringLiteral("127.0.0.1:%1,127.0.0.1:%2,127.0.0.1:%3")
                                   .arg(deadPort())
                                   .arg(deadPort())
                                   .arg(deadPort())));
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const QString text = testDialogs().last().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Error 2003 "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("데이터베이스 서버에 접속할 수 없습니다.")));
    EXPECT_TRUE(
        text.endsWith(QStringLiteral("관련 프로그램이 데이터베이스 접속을 방해하는 경우 일 수도 있습니다.")));
    EXPECT_EQ(conn.serverInUse(), QString());
}

// A statement that the server holds for a moment, and a proxy link broken while it waits.
class LostDuringStatement : public ServerList {
protected:
    // Runs `sql` on a connection through the proxy and cuts the link once the server runs it.
    RecordsetPtr runAndCut(cMySQL& conn, TcpProxy& proxy, const QString& sql) {
        std::thread cutter([&] {
            const testdb::Params& p = testdb::params();
            MYSQL* watcher = mysql_init(nullptr);
            mysql_real_connect(watcher, "127.0.0.1", p.user.toUtf8().constData(),
                               p.password.toUtf8().constData(), nullptr, unsigned(p.port), nullptr, 0);
            const QByteArray look =
                "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE '%SLEEP(0.8)%' "
                "AND ID <> CONNECTION_ID()";
            for (int i = 0; i < 500; ++i) {
                bool running = false;
                if (mysql_real_query(watcher, look.constData(), look.size()) == 0)
                    if (MYSQL_RES* r = mysql_store_result(watcher)) {
                        MYSQL_ROW row = mysql_fetch_row(r);
                        running = row && row[0] && std::string(row[0]) != "0";
                        mysql_free_result(r);
                    }
                if (running) break;
                QThread::msleep(10);
            }
            mysql_close(watcher);
            proxy.cutClients();
        });
        RecordsetPtr rs = conn.query(sql, sql.startsWith(QLatin1String("UPDATE")));
        cutter.join();
        return rs;
    }
};

TEST_F(LostDuringStatement, AnInsertIsNotSentTwiceButAFixedUpdateIs) {
    TcpProxy proxy(QStringLiteral("127.0.0.1"), quint16(testdb::params().port));
    cMySQL conn;
    ASSERT_TRUE(connect(conn, QStringLiteral("127.0.0.1:%1").arg(proxy.port())));

    // The INSERT may have been applied when the link broke: it is reported, and the connection stands again
    // for the next statement.
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_FALSE(runAndCut(conn, proxy, QStringLiteral("INSERT INTO marks SELECT 3, SLEEP(0.8)")));
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("Error 2013 (")))
        << testDialogs().last().text.toStdString();
    EXPECT_EQ(conn.affected_rows(), -1);
    EXPECT_FALSE(conn.connectionLost());
    RecordsetPtr rs = conn.query(QStringLiteral("SELECT COUNT(*) FROM marks WHERE id = 3"));
    ASSERT_TRUE(rs);
    EXPECT_LE(rs->Fields(0).Value().toInt(), 1);

    // The marking sets fixed values: sent again on the new connection, without a box.
    rs = runAndCut(conn, proxy,
                   QStringLiteral("UPDATE marks SET state = IF(SLEEP(0.8), 'x', 'printed') WHERE id <= 2"));
    EXPECT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(conn.matched_rows(), 2);
    EXPECT_EQ(
        testdb::scalar(QStringLiteral("SELECT GROUP_CONCAT(state ORDER BY id) FROM marks WHERE id <= 2")),
        QStringLiteral("printed,printed"));
}

TEST_F(LostDuringStatement, AnInsertOnAConnectionClosedWhileIdleGoesOnAFreshOneOnce) {
    TcpProxy proxy(QStringLiteral("127.0.0.1"), quint16(testdb::params().port));
    cMySQL conn;
    ASSERT_TRUE(connect(conn, QStringLiteral("127.0.0.1:%1").arg(proxy.port())));
    proxy.cutClients();
    // Nothing was sent on the broken link: the connection is replaced before the INSERT goes.
    conn.query(QStringLiteral("INSERT INTO marks VALUES (4, 'a')"));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(conn.affected_rows(), 1);
    EXPECT_EQ(testdb::scalar(QStringLiteral("SELECT COUNT(*) FROM marks WHERE id = 4")), QStringLiteral("1"));
}

}  // namespace
