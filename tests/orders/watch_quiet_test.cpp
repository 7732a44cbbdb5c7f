// The watch while the server stops answering (its process stopped, as a hung server is): the watch never
// shows the wait dialog, never takes the focus from the window the clerk works in, and gives up silently
// after a few seconds; once the server goes on, the next watch finds what arrived meanwhile.
#include "common/app_title.h"
#include "orders/live_watch.h"
#include "orders_fixture.h"
#include "platform/blocking_wait.h"
#include "platform/settings_store.h"
#include "support/own_server.h"
#include "widgets/server_wait.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTimer>

#include <functional>

namespace orders_test {
namespace {

void exec(MYSQL* client, const char* sql) {
    if (mysql_query(client, sql) != 0) ADD_FAILURE() << sql << ": " << mysql_error(client);
}

// Any window of the program that shows over the others: the wait dialog, a box, another dialog.
QWidget* shownDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (qobject_cast<QDialog*>(w) || qobject_cast<QProgressDialog*>(w))) return w;
    return nullptr;
}

class WatchQuietTest : public OrdersTest {
protected:
    void SetUp() override {
        OrdersTest::SetUp();
        settings::save(AppTitle(), QStringLiteral("Config"), QStringLiteral("자동조회초"),
                       QStringLiteral("1"));
        // The program's waiter, which shows its dialog soon: a watch statement that went through it would.
        blocking_wait::setWaiter(&m_waiter);
    }
    void TearDown() override {
        blocking_wait::setWaiter(nullptr);
        OrdersTest::TearDown();
    }
    ServerWaiter m_waiter{300};
};

TEST_F(WatchQuietTest, AStoppedServerDuringAnIdleWatchShowsNothingAndLeavesTheFocusWhereItWas) {
    OwnServer server;
    MYSQL* client = server.client();
    ASSERT_NE(client, nullptr);
    exec(client, "INSERT INTO t_buyer (code, mname, printtotal) VALUES (1, 'B1', 0)");
    exec(client,
         "INSERT INTO local_user (code, loginid, loginpwd, c_buyer, local_name, branch) VALUES "
         "(6, 'BUY1', 'x', 0, 'U', 1)");
    exec(client,
         "INSERT INTO t_direction (code, sdate, ddate, dtime, bdate, branch, c_user, c_buyer, state) "
         "VALUES (40, '2030-05-10', '2030-05-10', '09:00', '2030-05-10', 1, 6, 1, '')");
    // The session on the own server.
    DBClose();
    const testdb::Params& p = testdb::params();
    ASSERT_TRUE(DBInit(QStringLiteral("127.0.0.1"), p.user, p.password, p.database, server.port()));

    frmMain& w = open();
    showActive(&w);
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    ASSERT_EQ(listedCodes(), QStringList{QStringLiteral("40")});
    // The clerk works in another window; the order window waits behind it.
    QWidget other;
    auto* edit = new QLineEdit(&other);
    showActive(&other);
    edit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit);

    const int watches = w.liveWatch()->watchesRun();
    server.pause();
    // Two watches while the server is stopped: each gives up within its few seconds. What shows meanwhile
    // is looked at from a timer, which also runs while a watch waits.
    QString shown;  // what showed: the window's class and name
    const QWidget* focusMeanwhile = edit;
    bool cursor = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (const QWidget* dialog = shownDialog(); dialog && shown.isEmpty()) {
            shown = QString::fromLatin1(dialog->metaObject()->className()) + u' ' + dialog->objectName();
            server.resume();  // ends the wait the dialog stands for
        }
        cursor = cursor || QApplication::overrideCursor() != nullptr;
        if (QApplication::focusWidget() != edit) focusMeanwhile = QApplication::focusWidget();
    });
    look.start(20);
    QElapsedTimer clock;
    clock.start();
    while (w.liveWatch()->watchesRun() < watches + 2 && clock.elapsed() < 30000 && shown.isEmpty())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    look.stop();
    const int watchesWhileStopped = w.liveWatch()->watchesRun() - watches;
    server.resume();
    EXPECT_TRUE(shown.isEmpty()) << "shown while the server was stopped: " << shown.toStdString();
    EXPECT_FALSE(cursor) << "a wait cursor while the server was stopped";
    EXPECT_GE(watchesWhileStopped, 2);
    EXPECT_EQ(focusMeanwhile, edit);
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());

    // The server goes on: a direction that arrives is found by a later watch, without a box.
    exec(client,
         "INSERT INTO t_direction (code, sdate, ddate, dtime, bdate, branch, c_user, c_buyer, state) "
         "VALUES (41, '2030-05-10', '2030-05-10', '10:00', '2030-05-10', 1, 6, 1, '')");
    clock.restart();
    while (!listedCodes().contains(QStringLiteral("41")) && clock.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(listedCodes().contains(QStringLiteral("41")));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), edit);
    window.reset();
    DBClose();
    mysql_close(client);
}

}  // namespace
}  // namespace orders_test
