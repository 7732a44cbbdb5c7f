// The order database as a three-node Galera cluster: the session connection is given all three nodes, and
// nodes die, stop, fall out of sync and compete while the program reads the list, marks directions and
// watches. Every case starts with all three nodes synced (a node killed before is started again).
#include "cluster_fixture.h"

#include "db/host_list.h"
#include "db/mysql_func.h"
#include "orderdata/order_statements.h"
#include "orders/live_watch.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>
#include <mysql.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

constexpr int kBuyer = 7;
constexpr int kRounds = 5;
const QString kDate = QStringLiteral("2030-01-02");

QString listSql() {
    return orderdata::DirectionListSql(QStringLiteral("d.sdate"), kBuyer, kDate, false);
}

QString watchSql() {
    return orderdata::DirectionListMarkSql(QStringLiteral("d.sdate"), kBuyer, kDate, false);
}

bool openSession(const QString& hosts) {
    const cluster::Env& e = cluster::env();
    return DBInit(hosts, e.user, e.password, e.database, 3306);
}

int listRows() {
    RecordsetPtr rs;
    const int count = DBOpenRecordset(rs, listSql());
    CloseRecordset(rs);
    return count;
}

// Once the statement of node n waits for the table that `holder` locked there, node n is killed; the time
// of the kill is kept.
class KillWhenWaiting {
public:
    explicit KillWhenWaiting(int n) : m_node(n) {
        m_holder = cluster::root(n);
        if (!m_holder) {
            ADD_FAILURE() << "node " << n + 1 << " does not answer";
            return;
        }
        const QByteArray lock = "LOCK TABLES t_direction WRITE";
        mysql_real_query(m_holder, lock.constData(), lock.size());
        m_thread = std::thread([this] { run(); });
    }
    ~KillWhenWaiting() {
        if (m_thread.joinable()) m_thread.join();
        if (m_holder) mysql_close(m_holder);
    }
    const QElapsedTimer& killedAt() const { return m_killedAt; }

private:
    void run() {
        for (int i = 0; i < 1000; ++i) {
            const QString waiting = cluster::scalar(
                m_node, QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE STATE LIKE "
                                       "'Waiting for table metadata lock%'"));
            if (waiting.toInt() > 0) break;
            QThread::msleep(10);
        }
        m_killedAt.start();
        cluster::signal(m_node, SIGKILL);
    }
    int m_node;
    MYSQL* m_holder = nullptr;
    QElapsedTimer m_killedAt;
    std::thread m_thread;
};

class Cluster : public testing::Test {
protected:
    void SetUp() override {
        cluster::ensureAllUp();
        host_deny_list::clear();
        // The data goes in through the third node, which no case kills.
        QStringList rows;
        for (int i = 1; i <= kDirections; ++i)
            rows << QStringLiteral("(%1, '%2', '%2', %3, 1, '')").arg(i).arg(kDate).arg(kBuyer);
        const QStringList statements = {
            QStringLiteral("DELETE FROM t_direction"),
            QStringLiteral("DELETE FROM local_user"),
            QStringLiteral("DELETE FROM t_buyer"),
            QStringLiteral(
                "INSERT INTO local_user (code, loginid, c_buyer, local_name) VALUES (1, 'u', 7, 'kim')"),
            QStringLiteral("INSERT INTO t_buyer (code, mname) VALUES (7, 'b')"),
            QStringLiteral("INSERT INTO t_direction (code, sdate, bdate, c_buyer, c_user, state) VALUES ") +
                rows.join(QLatin1Char(',')),
        };
        for (const QString& sql : statements) cluster::exec(2, sql);
        // The other nodes apply it a little later, much later on a loaded machine: each case starts once
        // both hold it, as a workstation would find them.
        for (int n : {0, 1})
            ASSERT_EQ(cluster::syncedScalar(n, QStringLiteral("SELECT COUNT(*) FROM t_direction")),
                      QString::number(kDirections));
    }
    void TearDown() override {
        DBClose();
        for (int n = 0; n < 3; ++n)
            if (cluster::alive(n)) cluster::signal(n, SIGCONT);
        cMySQL::setTimeLimits({});
    }
    static constexpr int kDirections = 200;
};

TEST_F(Cluster, ADesyncedNodeIsSkippedAndASyncedOneTakesTheSession) {
    cluster::exec(0, QStringLiteral("SET GLOBAL wsrep_desync = ON"));
    const bool opened = openSession(cluster::env().hosts);
    cluster::exec(0, QStringLiteral("SET GLOBAL wsrep_desync = OFF"));
    ASSERT_TRUE(opened);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(DBServerInUse(), cluster::node(1));
    EXPECT_TRUE(DBConn()->onGaleraNode());
    EXPECT_EQ(listRows(), kDirections);
}

TEST_F(Cluster, ANodeKilledDuringTheListReadGivesTheListFromTheNextNode) {
    ASSERT_TRUE(openSession(cluster::env().hosts));
    ASSERT_EQ(DBServerInUse(), cluster::node(0));
    qint64 failoverMs = 0;
    int rows = 0;
    {
        KillWhenWaiting killer(0);
        rows = listRows();
        failoverMs = killer.killedAt().elapsed();
    }
    EXPECT_EQ(rows, kDirections);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(DBServerInUse(), cluster::node(1));
    std::printf("figure: failover, node killed to the list read from the next node: %lld ms\n",
                static_cast<long long>(failoverMs));
}

TEST_F(Cluster, ANodeKilledDuringTheMarkingLeavesEveryMarkThereOnce) {
    ASSERT_TRUE(openSession(cluster::env().hosts));
    int saved = 0;
    {
        // As the print command marks: quietly, one direction after the other.
        const DBQuietScope quiet;
        KillWhenWaiting killer(0);
        for (int code = 1; code <= kDirections; ++code) {
            const DBUpdateResult r =
                DBUpdate(orderdata::MarkPrintedSql(code, QStringLiteral("2030-01-02 10:00:00")));
            if (!r.failed && r.matched == 1 && !DBConnectionLost()) ++saved;
        }
    }
    EXPECT_EQ(saved, kDirections);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    // Every node that runs holds every mark, with the one time stamp of its one update.
    for (int n : {1, 2})
        EXPECT_EQ(
            cluster::syncedScalar(n, QStringLiteral("SELECT COUNT(*) FROM t_direction WHERE state <> '' "
                                                    "AND updatechk = '2030-01-02 10:00:00'")),
            QString::number(kDirections));
}

TEST_F(Cluster, ANodeKilledWhileTheWatchRunsIsNotReportedAndTheWatchGoesOn) {
    ASSERT_TRUE(openSession(cluster::env().hosts));
    LiveWatch watch;
    int rereads = 0;
    watch.setPeriod(3600);
    watch.setMarkStatement(watchSql);
    watch.setOnChanged([&] {
        ++rereads;
        return listRows() == kDirections + 1;
    });
    watch.takeBaseline();
    cluster::signal(0, SIGKILL);
    cluster::exec(
        2, QStringLiteral("INSERT INTO t_direction (code, sdate, c_buyer, c_user) VALUES (999, '%1', %2, 1)")
               .arg(kDate)
               .arg(kBuyer));
    watch.watchNow();
    EXPECT_EQ(rereads, 1);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_NE(DBServerInUse(), cluster::node(0));
}

TEST_F(Cluster, APausedNodeIsLeftWithinTheReadTimeLimit) {
    cMySQL::setTimeLimits({2, 2, 2});
    ASSERT_TRUE(openSession(cluster::env().hosts));
    cluster::signal(0, SIGSTOP);
    QElapsedTimer clock;
    clock.start();
    const int rows = listRows();
    const qint64 ms = clock.elapsed();
    cluster::signal(0, SIGCONT);
    EXPECT_EQ(rows, kDirections);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(DBServerInUse(), cluster::node(1));
    // The read limit, then one connect to the next node; far from the minute a statement may take.
    EXPECT_LT(ms, 15000);
}

// One workstation of the case below, run as a process of its own: marks every direction through node
// $PELORA_CLUSTER_NODE, node 0 from the first direction up, node 1 from the last down, each with its own time
// stamp, kRounds times over, and prints how many marks it saved.
TEST(Workstation, DISABLED_MarksEveryDirectionThroughItsNode) {
    const int n = qEnvironmentVariableIntValue("PELORA_CLUSTER_NODE");
    ASSERT_TRUE(openSession(cluster::node(n)));
    int saved = 0;
    const DBQuietScope quiet;
    const int count = qEnvironmentVariableIntValue("PELORA_CLUSTER_DIRECTIONS");
    // Printed again and again (the same sheet, reprinted): the two meet on the same rows many times.
    for (int i = 1; i <= count * kRounds; ++i) {
        const int code = n == 0 ? (i - 1) % count + 1 : count - (i - 1) % count;
        const DBUpdateResult r =
            DBUpdate(orderdata::MarkPrintedSql(code, QStringLiteral("2030-01-02 11:00:0%1").arg(n)));
        if (!r.failed && r.matched == 1) ++saved;
    }
    std::printf("saved=%d retries=%d\n", saved, DBConn()->conflictRetries());
    DBClose();
}

TEST_F(Cluster, TwoWorkstationsMarkingTheSameDirectionsOnTwoNodesMarkEachOnce) {
    // No retry on the servers' side: each conflict reaches the workstation that lost it.
    for (int n : {0, 1}) cluster::exec(n, QStringLiteral("SET GLOBAL wsrep_retry_autocommit = 0"));
    QProcess workstations[2];
    for (int n : {0, 1}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PELORA_CLUSTER_NODE"), QString::number(n));
        environment.insert(QStringLiteral("PELORA_CLUSTER_DIRECTIONS"), QString::number(kDirections));
        workstations[n].setProcessEnvironment(environment);
        workstations[n].start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_also_run_disabled_tests"),
             QStringLiteral("--gtest_filter=Workstation.DISABLED_MarksEveryDirectionThroughItsNode")});
    }
    for (QProcess& p : workstations) {
        ASSERT_TRUE(p.waitForFinished(120000));
        const QByteArray out = p.readAllStandardOutput();
        EXPECT_TRUE(out.contains("saved=" + QByteArray::number(kDirections * kRounds) + ' '))
            << out.constData();
        std::printf("workstation: %s\n", out.mid(out.indexOf("saved=")).left(40).constData());
    }
    for (int n : {0, 1}) cluster::exec(n, QStringLiteral("SET GLOBAL wsrep_retry_autocommit = 1"));
    // Every direction holds one workstation's whole mark.
    EXPECT_EQ(cluster::syncedScalar(
                  2, QStringLiteral("SELECT COUNT(*) FROM t_direction WHERE state <> '' AND updatechk "
                                    "IN ('2030-01-02 11:00:00', '2030-01-02 11:00:01')")),
              QString::number(kDirections));
}

}  // namespace

namespace {

// The mean time of `runs` runs of `sql` on `m`, in microseconds.
double meanMicros(MYSQL* m, const QByteArray& sql, int runs) {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < runs; ++i) {
        if (mysql_real_query(m, sql.constData(), static_cast<unsigned long>(sql.size())) != 0) return -1;
        if (MYSQL_RES* r = mysql_store_result(m)) mysql_free_result(r);
    }
    return double(clock.nsecsElapsed()) / 1000.0 / runs;
}

// Figures for the administrators, printed, not judged (a loaded machine makes any limit flaky): the node
// check against the plainest round trip on the same node, and the watch statement on a node against the
// same statement on the single test server, over the same rows.
TEST_F(Cluster, FiguresOfTheNodeCheckAndTheWatch) {
    MYSQL* node = cluster::root(1);
    ASSERT_NE(node, nullptr);
    const QByteArray check = "SHOW STATUS WHERE Variable_name IN ('wsrep_ready', 'wsrep_local_state')";
    const QByteArray watch = watchSql().toLatin1();
    constexpr int kRuns = 300;
    meanMicros(node, "SELECT 1", 20);
    const double roundTrip = meanMicros(node, "SELECT 1", kRuns);
    const double checkCost = meanMicros(node, check, kRuns);
    const double watchOnNode = meanMicros(node, watch, kRuns);
    mysql_close(node);
    // A whole connect over TCP, as a workstation makes one, for scale.
    const cluster::Env& e = cluster::env();
    QElapsedTimer clock;
    clock.start();
    constexpr int kConnects = 50;
    for (int i = 0; i < kConnects; ++i) {
        MYSQL* m = mysql_init(nullptr);
        mysql_real_connect(m, "127.0.0.1", e.user.toUtf8().constData(), e.password.toUtf8().constData(),
                           e.database.toUtf8().constData(), unsigned(e.port[1]), nullptr, 0);
        mysql_close(m);
    }
    const double connectCost = double(clock.nsecsElapsed()) / 1000.0 / kConnects;

    // The same rows on the single server of the test run.
    testdb::truncate(testdb::kOrderDataTables + QStringList{QStringLiteral("local_user")});
    testdb::exec(QStringLiteral(
        "INSERT INTO local_user (code, loginid, c_buyer, local_name) VALUES (1, 'u', 7, 'kim')"));
    testdb::exec(QStringLiteral("INSERT INTO t_buyer (code, mname) VALUES (7, 'b')"));
    for (int i = 1; i <= kDirections; ++i)
        testdb::exec(
            QStringLiteral("INSERT INTO t_direction (code, sdate, c_buyer, c_user) VALUES (%1, '%2', 7, 1)")
                .arg(i)
                .arg(kDate));
    const testdb::Params& p = testdb::params();
    MYSQL* single = mysql_init(nullptr);
    ASSERT_TRUE(mysql_real_connect(single, nullptr, p.user.toUtf8().constData(),
                                   p.password.toUtf8().constData(), p.database.toUtf8().constData(), 0,
                                   p.socket.toUtf8().constData(), 0));
    meanMicros(single, watch, 20);
    const double watchOnSingle = meanMicros(single, watch, kRuns);
    mysql_close(single);

    std::printf("figure: round trip SELECT 1 on a node: %.0f us\n", roundTrip);
    std::printf(
        "figure: node check at connect: %.0f us (one statement; %.2f times SELECT 1), a TCP connect: "
        "%.0f us (the check adds %.0f%%)\n",
        checkCost, checkCost / roundTrip, connectCost, 100.0 * checkCost / connectCost);
    std::printf("figure: watch statement on a node: %.0f us, on the single server: %.0f us (ratio %.2f)\n",
                watchOnNode, watchOnSingle, watchOnNode / watchOnSingle);
}

}  // namespace
