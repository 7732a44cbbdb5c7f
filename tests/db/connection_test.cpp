// cMySQL and the session helpers against the test server: failures and their boxes, lost connections,
// and the code page 949 round trip.
#include "db/cmysql.h"
#include "db/mysql_func.h"
#include "platform/app_error.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"

#include <QTcpServer>

#include <QThread>

#include <gtest/gtest.h>

namespace {

class SessionTest : public testing::Test {
protected:
    void SetUp() override {
        testdb::exec(QStringLiteral("DROP TABLE IF EXISTS texts"));
        testdb::exec(
            QStringLiteral("CREATE TABLE texts (id INT PRIMARY KEY, t VARCHAR(100)) CHARSET latin1"));
        ASSERT_TRUE(testdb::openSession());
    }
    void TearDown() override { DBClose(); }

    // Ends the session connection's server thread from another connection.
    void killSessionThread() {
        const int id = DBConn()->thread_id();
        testdb::exec(QStringLiteral("KILL %1").arg(id));
        m_killed = id;
    }
    bool threadExists(int id) {
        return testdb::scalar(
                   QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1")
                       .arg(id)) != QLatin1String("0");
    }
    // A killed thread leaves the server's list a moment after the KILL, later on a loaded machine.
    bool threadGoneSoon(int id) {
        for (int i = 0; i < 100 && threadExists(id); ++i) QThread::msleep(20);
        return !threadExists(id);
    }
    int m_killed = 0;
};

TEST_F(SessionTest, SyntaxErrorIsReportedOnceAndCountsAsFailure) {
    testDialogs().answer(Dialogs::ResultOk);
    RecordsetPtr rs;
    EXPECT_EQ(DBOpenRecordset(rs, QStringLiteral("SELEC 1")), -1);
    EXPECT_FALSE(rs);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const auto& box = testDialogs().last();
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Error 1064 (You have an error in your SQL syntax")))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.endsWith(QLatin1Char(')')));
    EXPECT_EQ(box.title, QStringLiteral("펠로라푸드주문서"));
    EXPECT_EQ(box.icon, Dialogs::Icon::None);
    EXPECT_EQ(box.buttons, Dialogs::Buttons::Ok);

    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_FALSE(DBConn()->query(QStringLiteral("SELEC 1")));
    EXPECT_EQ(DBConn()->affected_rows(), -1);

    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_EQ(DBExecute(QStringLiteral("UPDATE nosuchtable SET x = 1")), 0);
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("Error 1146 (")));
}

TEST_F(SessionTest, KilledConnectionRunsTheStatementOnAFreshOneWithoutABox) {
    killSessionThread();
    // The next statement meets 2013 (lost during the query) and is sent again on a new connection.
    EXPECT_EQ(DBGetValue(QStringLiteral("SELECT 41 + 1")), QStringLiteral("42"));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_NE(DBConn()->thread_id(), m_killed);
    EXPECT_TRUE(threadGoneSoon(m_killed));
}

TEST_F(SessionTest, ServerGoneAwayIsRetriedAndTheOldThreadKilled) {
    const int oldThread = DBConn()->thread_id();
    killSessionThread();
    // The first call after the KILL takes the 2013; the statement after it meets 2006.
    EXPECT_THROW(DBConn()->ping(), AppError);
    EXPECT_EQ(DBExecute(QStringLiteral("INSERT INTO texts VALUES (1, 'a'), (2, 'b')")), 2);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_NE(DBConn()->thread_id(), oldThread);
    EXPECT_TRUE(threadGoneSoon(oldThread));
}

TEST_F(SessionTest, ReconnectedConnectionStillSpeaksCodePage949) {
    killSessionThread();
    EXPECT_EQ(DBExecute(QStringLiteral("INSERT INTO texts VALUES (1, '똠')")), 1);
    EXPECT_EQ(testdb::scalar(QStringLiteral("SELECT HEX(t) FROM texts WHERE id = 1")),
              QStringLiteral("8C63"));
}

TEST_F(SessionTest, HangulRoundTripsByteExact) {
    struct Case {
        int id;
        QString text;
        const char* hex;  // the code page 949 bytes the database must hold
    };
    const Case cases[] = {
        {1, QStringLiteral("가"), "B0A1"},
        {2, QStringLiteral("똠"), "8C63"},  // in code page 949, not in plain EUC-KR
        {3, QStringLiteral("A-1 사과 (box) 똠얌"), "412D3120BBE7B0FA2028626F7829208C63BEE4"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(
            DBExecute(QStringLiteral("INSERT INTO texts VALUES (%1, '%2')").arg(c.id).arg(SQLEscape(c.text))),
            1);
        EXPECT_EQ(testdb::scalar(QStringLiteral("SELECT HEX(t) FROM texts WHERE id = %1").arg(c.id)),
                  QLatin1String(c.hex));
        EXPECT_EQ(DBGetValue(QStringLiteral("SELECT t FROM texts WHERE id = %1").arg(c.id)), c.text);
        // A Hangul literal in the WHERE clause matches the stored bytes too.
        EXPECT_EQ(DBGetValue(QStringLiteral("SELECT id FROM texts WHERE t = '%1'").arg(c.text)),
                  QString::number(c.id));
    }
}

TEST_F(SessionTest, InsertGivesNoRecordsetAndItsRowCount) {
    RecordsetPtr rs =
        DBConn()->query(QStringLiteral("INSERT INTO texts VALUES (1, 'x'), (2, 'y'), (3, 'z')"));
    EXPECT_FALSE(rs);
    EXPECT_EQ(DBConn()->affected_rows(), 3);
}

TEST(Connect, NoServerListeningGivesThe2003BoxUnlessSilenced) {
    // A port that was free a moment ago: nothing listens there.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const int port = probe.serverPort();
    probe.close();

    const QString expectedTail = QStringLiteral(
        "\r\n\r\n데이터베이스 서버에 접속할 수 없습니다.\r\n\r\n인터넷이 연결되어 있는지 확인 해 "
        "주세요.\r\n\r\n"
        "인터넷이 연결되어 있다면 방화벽이나 각종 스파이웨어 차단 프로그램이 가동중인지 확인해 주세요.\r\n"
        "관련 프로그램이 데이터베이스 접속을 방해하는 경우 일 수도 있습니다.");
    cMySQL conn;
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_FALSE(conn.real_connect(QStringLiteral("127.0.0.1"), QStringLiteral("u"), QStringLiteral("p"),
                                   QStringLiteral("d"), port, QString(), 0, false));
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const QString text = testDialogs().last().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Error 2003 "))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(expectedTail)) << text.toStdString();
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::None);
    EXPECT_EQ(conn.port(), port);

    // Silenced: no box, same result; the empty host keeps the earlier one.
    EXPECT_FALSE(conn.real_connect(QString(), QString(), QString(), QString(), port, QString(), 0, true));
    EXPECT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(conn.host(), QStringLiteral("127.0.0.1"));
}

TEST(Connect, FailedObjectConnectsOnTheNextAttempt) {
    const testdb::Params& p = testdb::params();
    cMySQL conn;
    EXPECT_FALSE(conn.real_connect(QStringLiteral("localhost"), p.user, QStringLiteral("wrong"), p.database,
                                   3306, QString(), 0, true));
    EXPECT_TRUE(conn.real_connect(QString(), QString(), p.password, QString(), 3306, QString(), 0, false));
    EXPECT_EQ(conn.port(), 0);  // 3306 is never stored
    RecordsetPtr rs = conn.query(QStringLiteral("SELECT DATABASE()"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Fields(0).Value(), p.database);
}

TEST(Connect, WrongPasswordShowsTheAccessDeniedBox) {
    const testdb::Params& p = testdb::params();
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_FALSE(DBInit(QStringLiteral("localhost"), p.user, QStringLiteral("wrong"), p.database));
    const QString text = testDialogs().last().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Error 1045 "))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n\r\n데이터베이스 서버에 접속할 수 없습니다.")));
    DBClose();
}

}  // namespace
