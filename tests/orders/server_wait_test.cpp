// A statement that the server holds (another connection locks the table it reads): the window keeps
// answering while it waits, after a moment the waiting dialog shows, and 취소 ends the statement on the
// server and leaves the list as it was, without a box.
#include "widgets/server_wait.h"
#include "orders_fixture.h"
#include "platform/blocking_wait.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <mysql.h>

namespace orders_test {
namespace {

// A connection of the test's own that holds a table lock until it is destroyed.
class TableLock {
public:
    explicit TableLock(const char* table) {
        const testdb::Params& p = testdb::params();
        m_conn = mysql_init(nullptr);
        if (!mysql_real_connect(m_conn, nullptr, p.user.toUtf8().constData(), p.password.toUtf8().constData(),
                                p.database.toUtf8().constData(), 0, p.socket.toUtf8().constData(), 0)) {
            ADD_FAILURE() << "no second connection: " << mysql_error(m_conn);
            return;
        }
        const QByteArray sql = QByteArray("LOCK TABLES ") + table + " WRITE";
        if (mysql_query(m_conn, sql.constData()) != 0) ADD_FAILURE() << mysql_error(m_conn);
    }
    ~TableLock() { mysql_close(m_conn); }

private:
    MYSQL* m_conn = nullptr;
};

class ServerWaitTest : public OrdersTest {
protected:
    void SetUp() override {
        OrdersTest::SetUp();
        blocking_wait::setWaiter(&m_waiter);
    }
    void TearDown() override {
        blocking_wait::setWaiter(nullptr);
        OrdersTest::TearDown();
    }
    ServerWaiter m_waiter{300};
};

// How long a loaded machine may take to bring a statement to the server.
constexpr int kLoadedMachineMs = 30000;

// The program's statements on t_direction that the server holds (other test programs share the server,
// each with a database of its own).
int statementsHeld() {
    return testdb::scalar(
               QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE DB = DATABASE() "
                              "AND INFO LIKE '%t_direction%' AND INFO NOT LIKE '%PROCESSLIST%'"))
        .toInt();
}

QProgressDialog* waitingDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QProgressDialog*>(w);
            d && d->objectName() == QLatin1String("dlgServerWait") && d->isVisible())
            return d;
    return nullptr;
}

TEST_F(ServerWaitTest, CancelEndsAHeldStatementOnTheServerAndKeepsTheList) {
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    const int rows = window->spListO()->maxRows();
    ASSERT_GT(rows, 0);

    TableLock lock("t_direction");
    // The window's own timers keep running while the statement waits: the event loop never stops.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    bool dialogSeen = false;
    int ticksAtDialog = 0;
    bool heldSeen = false;
    QElapsedTimer clock;
    QElapsedTimer sinceCancel;
    std::function<void()> watch = [&] {
        if (QProgressDialog* dialog = waitingDialog()) {
            if (!dialogSeen) ticksAtDialog = ticks;
            dialogSeen = true;
            // 취소 once the statement waits on the server: a kill that comes before it arrived is a case of
            // its own (tests/db), and on a loaded machine the statement may take its time to get there.
            heldSeen = heldSeen || statementsHeld() > 0;
            if (!heldSeen && clock.elapsed() < kLoadedMachineMs) {
                QTimer::singleShot(50, watch);
                return;
            }
            // A real click on the dialog's own button, as the clerk gives it.
            auto* cancel = dialog->findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            const QPointF at = QRectF(cancel->rect()).center();
            QMouseEvent press(QEvent::MouseButtonPress, at, cancel->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, cancel->mapToGlobal(at), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            sinceCancel.start();
            QApplication::sendEvent(cancel, &press);
            QApplication::sendEvent(cancel, &release);
            return;
        }
        QTimer::singleShot(10, watch);
    };
    QTimer::singleShot(10, watch);
    clock.start();
    window->RunQuery();

    EXPECT_TRUE(dialogSeen);
    EXPECT_TRUE(heldSeen) << "the statement never reached the server";
    EXPECT_GE(ticksAtDialog, 5) << "the window stood still while it waited";
    ASSERT_TRUE(sinceCancel.isValid());
    EXPECT_LT(sinceCancel.elapsed(), 10000) << "취소 took this long";
    EXPECT_EQ(window->spListO()->maxRows(), rows);
    // Nothing of the program waits on the server any more (the server needs a moment to end a statement).
    QElapsedTimer settle;
    settle.start();
    while (statementsHeld() != 0 && settle.elapsed() < 10000) QThread::msleep(50);
    EXPECT_EQ(statementsHeld(), 0);
}

// A statement that ends within the moment shows no dialog, and its rows arrive as always.
TEST_F(ServerWaitTest, AQuickStatementShowsNoDialog) {
    open();
    bool dialogSeen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] { dialogSeen = dialogSeen || waitingDialog(); });
    poll.start(5);
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    EXPECT_FALSE(dialogSeen);
    EXPECT_GT(window->spListO()->maxRows(), 0);
}

}  // namespace
}  // namespace orders_test
