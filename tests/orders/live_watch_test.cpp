// The quiet watch of the main window: directions added or marked by another workstation reach the list
// without a key press, the list on screen is never disturbed, the server is asked nothing more when
// nothing changed, and a user who works elsewhere hears of arrivals through the desktop's notification
// service (here one that the test runs on a session bus of its own).
#include "orders/live_watch.h"
#include "common/app_title.h"
#include "orderdata/order_statements.h"
#include "orders/main_columns.h"
#include "orders_fixture.h"
#include "platform/freedesktop_notifier_unix.h"
#include "platform/settings_store.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVariantMap>

#include <functional>

namespace orders_test {
namespace {

// Runs the event loop until `done` holds or `ms` milliseconds passed; the final answer of `done`.
bool waitUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void pump(int ms) {
    waitUntil([] { return false; }, ms);
}

// SELECT statements the server counted on the program's own connection.
long selectsOnSession() {
    RecordsetPtr rs = DBConn()->query(QStringLiteral("SHOW SESSION STATUS LIKE 'Com_select'"));
    const long value = rs ? rs->Fields(1).Value().toLong() : -1;
    CloseRecordset(rs);
    return value;
}

int rowOf(const SpreadGrid* grid, const QString& code) {
    for (int row = 1; row <= grid->maxRows(); ++row)
        if (grid->text(orders::kDirCode, row) == code) return row;
    return 0;
}

QString directionInsert(int code, const QString& dtime, int branch, const QString& state = QString()) {
    return QStringLiteral(
               "INSERT INTO t_direction (code, sdate, ddate, dtime, bdate, branch, c_user, c_buyer, state) "
               "VALUES (%1, '2030-05-10', '2030-05-10', '%2', '2030-05-10', %3, 6, 1, '%4')")
        .arg(code)
        .arg(dtime)
        .arg(branch)
        .arg(state);
}

class LiveWatchTest : public OrdersTest {
protected:
    void SetUp() override {
        OrdersTest::SetUp();
        settings::save(AppTitle(), QStringLiteral("Config"), QStringLiteral("자동조회초"),
                       QStringLiteral("1"));
    }

    // The window with the list of 2030-05-10, shown and active.
    frmMain& openDay() {
        frmMain& w = open();
        showActive(&w);
        query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
        return w;
    }
    QString activeCode() const {
        return window->spListO()->text(orders::kDirCode, window->spListO()->activeRow());
    }
};

TEST_F(LiveWatchTest, TheWatchPeriodComesFromTheSettings) {
    struct Case {
        const char* text;
        int seconds;
    };
    for (const Case& c : {Case{"", 60}, Case{"15", 15}, Case{"0", 0}, Case{"-5", 0}, Case{"abc", 60}}) {
        if (*c.text)
            settings::save(AppTitle(), QStringLiteral("Config"), QStringLiteral("자동조회초"),
                           QString::fromUtf8(c.text));
        else
            settings::remove(AppTitle(), QStringLiteral("Config"), QStringLiteral("자동조회초"));
        EXPECT_EQ(LiveWatch::periodFromSettings(), c.seconds) << c.text;
    }
}

TEST_F(LiveWatchTest, ADirectionAddedElsewhereAppearsWithSelectionScrollAndLinesKept) {
    // Enough directions of the day that the list scrolls.
    QStringList more;
    for (int code = 1000; code < 1040; ++code) more << directionInsert(code, QStringLiteral("12:00"), 1);
    testdb::execAll(more);
    frmMain& w = openDay();
    SpreadGrid* list = w.spListO();
    list->setActiveCell(1, rowOf(list, QStringLiteral("11")));
    w.chkAhead()->setChecked(true);  // ticked, not queried: the list on screen is still the day's
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() / 2);
    const int scroll = list->verticalScrollBar()->value();
    ASSERT_GT(scroll, 0);
    const QStringList lines = column(w.spList(), orders::kLineProduct);
    ASSERT_EQ(lines.size(), 3);
    const QString title = w.windowTitle();
    ASSERT_TRUE(title.startsWith(QStringLiteral("[미출력 44] "))) << title.toStdString();

    // A code below every listed one: the new row comes first and every other row moves down.
    testdb::exec(directionInsert(5, QStringLiteral("14:05"), 2));
    ASSERT_TRUE(waitUntil([&] { return listedCodes().contains(QStringLiteral("5")); }));

    EXPECT_EQ(listedCodes().first(), QStringLiteral("5"));
    EXPECT_EQ(activeCode(), QStringLiteral("11"));
    EXPECT_EQ(list->verticalScrollBar()->value(), scroll);
    EXPECT_EQ(column(w.spList(), orders::kLineProduct), lines);
    EXPECT_TRUE(w.chkAhead()->isChecked());
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("[미출력 45] "))) << w.windowTitle().toStdString();
    EXPECT_TRUE(testDialogs().boxes().isEmpty());

    // The arrival is coloured until the user selects it; the other rows keep their colours.
    EXPECT_EQ(w.NewDirectionCodes(), QStringList{QStringLiteral("5")});
    // The colour a row shows: its own, or the grid's odd/even one.
    const auto shown = [&](int row) {
        const QColor own = list->backColor(1, row);
        return own.isValid() ? own : list->rowDefaultBackColor(row);
    };
    EXPECT_NE(shown(1), list->rowDefaultBackColor(1));
    EXPECT_EQ(shown(2), list->rowDefaultBackColor(2));
    list->setActiveCell(1, 1);
    EXPECT_TRUE(w.NewDirectionCodes().isEmpty());
    EXPECT_EQ(shown(1), list->rowDefaultBackColor(1));
    EXPECT_EQ(w.spList()->maxRows(), 0);  // direction 5 has no lines: the user's move loaded them
}

TEST_F(LiveWatchTest, ADirectionPrintedElsewhereShowsItsMarkAndLeavesTheUnprintedCount) {
    frmMain& w = openDay();
    const int row = rowOf(w.spListO(), QStringLiteral("11"));
    ASSERT_TRUE(w.spListO()->text(orders::kDirState, row).isEmpty());
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("[미출력 4] ")));

    testdb::exec(
        QStringLiteral("UPDATE t_direction SET state = '출력', updatechk = '2030-05-10 08:00:00' "
                       "WHERE code = 11"));
    ASSERT_TRUE(waitUntil([&] {
        return w.spListO()->text(orders::kDirState, rowOf(w.spListO(), QStringLiteral("11"))) ==
               orderdata::kPrinted;
    }));
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("[미출력 3] "))) << w.windowTitle().toStdString();
    // A mark is no arrival.
    EXPECT_TRUE(w.NewDirectionCodes().isEmpty());

    // With every direction printed the title names only the day.
    testdb::exec(QStringLiteral("UPDATE t_direction SET state = '출력' WHERE c_buyer = 1"));
    ASSERT_TRUE(waitUntil([&] { return w.UnprintedCount() == 0; }));
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("(주)라벤푸드 주문서 ")))
        << w.windowTitle().toStdString();
}

TEST_F(LiveWatchTest, NothingChangedMeansOneSmallStatementPerPeriodAndNoReread) {
    frmMain& w = openDay();
    LiveWatch* watch = w.liveWatch();
    // What reading the counter costs by itself.
    const long first = selectsOnSession();
    const long own = selectsOnSession() - first;

    const long before = selectsOnSession();
    const int watchesBefore = watch->watchesRun();
    ASSERT_TRUE(waitUntil([&] { return watch->watchesRun() >= watchesBefore + 3; }, 8000));
    const int watches = watch->watchesRun() - watchesBefore;
    const long selects = selectsOnSession() - before - own;
    EXPECT_EQ(selects, watches);
    EXPECT_EQ(watch->rereads(), 0);
    EXPECT_EQ(listedCodes(), (QStringList{"11", "12", "13", "17", "18"}));
}

TEST_F(LiveWatchTest, AWatchWaitsWhileACommandIsBusyAndRunsAsSoonAsItEnds) {
    // Each way of being busy runs `during` while it lasts.
    struct Case {
        const char* what;
        std::function<void(frmMain&, const std::function<void()>&)> busy;
    };
    const Case cases[] = {
        {"the close question is open",
         [](frmMain& w, const std::function<void()>& during) {
             testDialogs().whileShown([&](const ScriptedDialogs::Box&) { during(); });
             testDialogs().answer(Dialogs::ResultNo);
             w.btnClose()->click();
         }},
        {"the label window is open",
         [](frmMain& w, const std::function<void()>& during) {
             QTimer::singleShot(0, [&] {
                 during();
                 if (QWidget* labels = QApplication::activeModalWidget()) labels->close();
             });
             w.btnLabelPrint()->click();
         }},
    };
    int code = 30;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!window) openDay();
        frmMain& w = *window;
        LiveWatch* watch = w.liveWatch();
        const QString added = QString::number(code);
        int watchesWhileBusy = -1;
        bool listedWhileBusy = true;
        c.busy(w, [&] {
            testdb::exec(directionInsert(code, QStringLiteral("14:05"), 2));
            const int watches = watch->watchesRun();
            pump(2500);
            watchesWhileBusy = watch->watchesRun() - watches;
            listedWhileBusy = listedCodes().contains(added);
        });
        EXPECT_EQ(watchesWhileBusy, 0);
        EXPECT_FALSE(listedWhileBusy);
        // Once it ends the waiting watch runs at once, without a whole period more.
        EXPECT_TRUE(waitUntil([&] { return listedCodes().contains(added); }, 1500));
        ++code;
    }
}

TEST_F(LiveWatchTest, AServerOutOfReachShowsNoBoxAndTheNextQueryReportsItAsAlways) {
    frmMain& w = openDay();
    const QStringList listed = listedCodes();
    DBConn()->setUnix_socket(dataDir.path() + QStringLiteral("/nothing.sock"));
    testdb::exec(QStringLiteral("KILL %1").arg(DBConn()->thread_id()));
    testdb::exec(directionInsert(30, QStringLiteral("14:05"), 2));
    const int watches = w.liveWatch()->watchesRun();
    ASSERT_TRUE(waitUntil([&] { return w.liveWatch()->watchesRun() >= watches + 2; }, 6000));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(listedCodes(), listed);

    testDialogs().answer(Dialogs::ResultOk);
    sendKey(w.spListO(), Qt::Key_F5);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("Error 2002 ")))
        << testDialogs().last().text.toStdString();
}

// A re-read that fails after the watch saw a change leaves the change unseen: the next watch reads the
// list again, and the direction that arrived meanwhile shows.
TEST_F(LiveWatchTest, ADirectionThatArrivedWhileTheRereadFailedStillShows) {
    frmMain& w = openDay();
    LiveWatch* watch = w.liveWatch();
    // The list's statement fails while the watch's own look still answers: a table only the list joins
    // is gone for a moment.
    testdb::exec(QStringLiteral("RENAME TABLE local_user TO local_user_gone"));
    testdb::exec(directionInsert(30, QStringLiteral("14:05"), 2));
    const int rereads = watch->rereads();
    const bool tried = waitUntil([&] { return watch->rereads() > rereads; }, 6000);
    testdb::exec(QStringLiteral("RENAME TABLE local_user_gone TO local_user"));
    ASSERT_TRUE(tried);
    EXPECT_FALSE(listedCodes().contains(QStringLiteral("30")));
    EXPECT_TRUE(waitUntil([&] { return listedCodes().contains(QStringLiteral("30")); }, 6000));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

// Arrivals stay coloured until the user selects them, also when the user looks at another day and
// comes back.
TEST_F(LiveWatchTest, ArrivalsStayColouredAfterALookAtAnotherDay) {
    frmMain& w = openDay();
    testdb::exec(directionInsert(30, QStringLiteral("14:05"), 2));
    ASSERT_TRUE(waitUntil([&] { return listedCodes().contains(QStringLiteral("30")); }));
    ASSERT_EQ(w.NewDirectionCodes(), QStringList{QStringLiteral("30")});
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-11"));
    EXPECT_TRUE(w.NewDirectionCodes().isEmpty());
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    EXPECT_TRUE(w.NewDirectionCodes().isEmpty());  // another list of the day: not where it arrived
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    EXPECT_EQ(w.NewDirectionCodes(), QStringList{QStringLiteral("30")});
    const int row = rowOf(w.spListO(), QStringLiteral("30"));
    ASSERT_GT(row, 0);
    EXPECT_TRUE(w.spListO()->backColor(1, row).isValid());
    EXPECT_NE(w.spListO()->backColor(1, row), w.spListO()->rowDefaultBackColor(row));
    // Selected, it is seen: no colour after the next return either.
    w.spListO()->setActiveCell(1, row);
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-11"));
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    EXPECT_TRUE(w.NewDirectionCodes().isEmpty());
}

TEST_F(LiveWatchTest, TheMarkStatementIsAnsweredFromAnIndexAloneForEveryDateKind) {
    // Other buyers' directions around the day, so that the server has something to skip.
    QStringList others;
    for (int code = 2000; code < 2300; ++code)
        others << QStringLiteral(
                      "INSERT INTO t_direction (code, sdate, ddate, bdate, c_user, c_buyer) VALUES "
                      "(%1, '2030-05-%2', '2030-05-%2', '2030-05-%2', 6, %3)")
                      .arg(code)
                      .arg(10 + code % 9)
                      .arg(3 + code % 40);
    testdb::execAll(others);
    testdb::exec(QStringLiteral("ANALYZE TABLE t_direction"));
    for (const QString& kind : {orderdata::kKindDelivery, orderdata::kKindOrder, orderdata::kKindPurchase}) {
        for (bool ahead : {false, true}) {
            const QString column = orderdata::DateColumnOf(kind);
            RecordsetPtr rs;
            ASSERT_GE(DBOpenRecordset(rs, QStringLiteral("EXPLAIN ") +
                                              orderdata::DirectionListMarkSql(
                                                  column, 1, QStringLiteral("2030-05-10"), ahead)),
                      0);
            ASSERT_TRUE(rs);
            ASSERT_EQ(rs->RecordCount(), 1);
            const QString key = rs->Fields(QStringLiteral("key")).Value();
            EXPECT_EQ(key, QStringLiteral("ix_direction_buyer_") + column.mid(2)) << ahead;
            EXPECT_NE(rs->Fields(QStringLiteral("type")).Value(), QStringLiteral("ALL"));
            // The index alone answers it: no row of the table is read.
            EXPECT_TRUE(rs->Fields(QStringLiteral("Extra")).Value().contains(QStringLiteral("Using index")))
                << rs->Fields(QStringLiteral("Extra")).Value().toStdString();
            CloseRecordset(rs);
        }
    }
}

// The desktop's notification service as far as the program uses it: records each Notify call.
class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        QString appName;
        uint replacesId = 0;
        QString summary;
        QStringList actions;
    };
    QList<Call> calls;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& /*icon*/, const QString& summary,
                const QString& /*body*/, const QStringList& actions, const QVariantMap& /*hints*/,
                int /*timeout*/) {
        calls.append({appName, replacesId, summary, actions});
        return 41 + uint(calls.size());
    }
};

// A session bus of the test's own: the developer's desktop never sees the test's notices.
class PrivateBus {
public:
    PrivateBus() {
        m_daemon.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--print-address"), QStringLiteral("--nofork")});
        if (m_daemon.waitForStarted(5000) && m_daemon.waitForReadyRead(5000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus() {
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }
    QString address() const { return m_address; }
    QDBusConnection connect(const QString& name) const {
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QProcess m_daemon;
    QString m_address;
};

TEST_F(LiveWatchTest, ArrivalsWhileTheUserIsElsewhereBecomeOneNoticeThatBringsTheWindowBack) {
    PrivateBus bus;
    ASSERT_FALSE(bus.address().isEmpty());
    NotificationService service;
    QDBusConnection serviceBus = bus.connect(QStringLiteral("service"));
    ASSERT_TRUE(serviceBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                          QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serviceBus.registerService(QStringLiteral("org.freedesktop.Notifications")));

    frmMain& w = openDay();
    w.SetNotifier(std::make_unique<FreedesktopNotifier>(bus.connect(QStringLiteral("program"))));
    QWidget elsewhere;
    showActive(&elsewhere);
    ASSERT_FALSE(w.isActiveWindow());

    testdb::execAll({directionInsert(31, QStringLiteral("13:40"), 1),
                     directionInsert(32, QStringLiteral("14:05:12"), 2)});
    ASSERT_TRUE(waitUntil([&] { return !service.calls.isEmpty(); }));
    pump(300);
    ASSERT_EQ(service.calls.size(), 1);
    EXPECT_EQ(service.calls[0].summary, QStringLiteral("새 발주 2건: 라벤청과 14:05 추가"));
    EXPECT_EQ(service.calls[0].appName, QStringLiteral("펠로라푸드주문서"));
    EXPECT_TRUE(service.calls[0].actions.contains(QStringLiteral("default")));
    EXPECT_EQ(w.NewDirectionCodes(), (QStringList{"31", "32"}));

    // The click on the notice: the window comes up with the first arrival selected.
    QDBusMessage click = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                    QStringLiteral("org.freedesktop.Notifications"),
                                                    QStringLiteral("ActionInvoked"));
    click << uint(42) << QStringLiteral("default");
    ASSERT_TRUE(serviceBus.send(click));
    ASSERT_TRUE(waitUntil([&] { return w.isActiveWindow(); }));
    EXPECT_EQ(activeCode(), QStringLiteral("31"));
    EXPECT_EQ(w.NewDirectionCodes(), QStringList{QStringLiteral("32")});

    // While the user is looking, arrivals are coloured rows and no notice.
    testdb::exec(directionInsert(33, QStringLiteral("15:00"), 2));
    ASSERT_TRUE(waitUntil([&] { return listedCodes().contains(QStringLiteral("33")); }));
    pump(300);
    EXPECT_EQ(service.calls.size(), 1);
}

}  // namespace
}  // namespace orders_test

#include "live_watch_test.moc"
