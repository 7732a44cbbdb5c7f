// Labels through a print queue of the test run's own print scheduler (scripts/cupsserver, the ctest fixture
// "cups"): the raw queue "labels" keeps each job as a file, so the exact bytes are read back as the printer
// would have received them. Never the machine's own print service: the scheduler's socket comes from the
// fixture's env file.
#include "labels/port_chooser.h"
#include "labels_fixture.h"
#include "support/env_file.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

using namespace labels_test;

namespace {

// The fixture's env file: CUPS_SERVER, PELORA_CUPS_RECEIVED.
QHash<QString, QString> schedulerEnv() {
    return readEnvFile(qEnvironmentVariable("PELORA_TESTCUPS_DIR", QStringLiteral(PELORA_TESTCUPS_DIR)) +
                       QStringLiteral("/env"));
}

class LabelQueueTest : public LabelSendTest {
protected:
    void SetUp() override {
        const auto env = schedulerEnv();
        ASSERT_TRUE(env.contains(QStringLiteral("CUPS_SERVER"))) << "no print scheduler: PELORA_TESTCUPS_DIR";
        qputenv("CUPS_SERVER", env.value(QStringLiteral("CUPS_SERVER")).toUtf8());
        received = env.value(QStringLiteral("PELORA_CUPS_RECEIVED"));
        LabelSendTest::SetUp();
    }
    void useQueue(const QString& name) {
        setPortSetting(label_settings::kKindKey, QStringLiteral("QUEUE"));
        setPortSetting(label_settings::kQueueKey, name);
        // A COM port that would fail, so that a run that went there instead shows.
        setPortType(QStringLiteral("3"));
        mapPort(QStringLiteral("COM3"), QStringLiteral("/nonexistent"));
    }
    QStringList receivedJobs(const QString& queue) const {
        return QDir(received)
            .entryList({queue + QStringLiteral("-*")}, QDir::Files)
            .filter(QRegularExpression("-\\d+$"));
    }
    // Waits for a job of the queue, not among `before`, whose bytes are `expected`; other programs print on
    // the same queue.
    bool jobArrives(const QString& queue, const QStringList& before, const QByteArray& expected) const {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000) {
            for (const QString& job : receivedJobs(queue)) {
                if (before.contains(job)) continue;
                QFile file(received + QLatin1Char('/') + job);
                if (file.open(QIODevice::ReadOnly) && file.readAll() == expected) return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    QString received;
};

}  // namespace

TEST_F(LabelQueueTest, TheSetupAndTheCheckedLabelsArriveThroughARawQueueByteForByte) {
    useQueue(QStringLiteral("labels"));
    typeLabels({QStringLiteral("양파"), QStringLiteral("대파"), QStringLiteral("감자")});
    grid()->setText(11, 3, QStringLiteral("똠 \"특\" 배송"));
    checkRows({1, 3});
    const QStringList before = receivedJobs(QStringLiteral("labels"));
    print();
    EXPECT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(greyRows(), (QList<int>{1, 3}));
    EXPECT_TRUE(jobArrives(QStringLiteral("labels"), before, expectedBytes({1, 3})));
}

TEST_F(LabelQueueTest, AQueueThatIsMissingOrRefusesJobsIsReportedOnceAndNothingTurnsGrey) {
    // A queue of this test that refuses jobs, as `cupsreject` leaves it.
    const QString refusing = QStringLiteral("labels_refusing");
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("lpadmin"),
                          {QStringLiteral("-p"), refusing, QStringLiteral("-E"), QStringLiteral("-v"),
                           QStringLiteral("keep:") + received, QStringLiteral("-m"), QStringLiteral("raw")}),
        0);
    ASSERT_EQ(QProcess::execute(QStringLiteral("cupsreject"), {refusing}), 0);
    struct Case {
        QString queue;
        QString says;  // the start of the box
    } cases[] = {
        {QStringLiteral("nosuchqueue"),
         QStringLiteral("Error 53 (라벨 프린터 대기열 nosuchqueue: 인쇄 서비스에 이 대기열이 없습니다)")},
        {refusing, QStringLiteral("Error 75 (라벨 프린터 대기열 labels_refusing: ")},
    };
    typeLabels({QStringLiteral("양파")});
    for (const Case& c : cases) {
        testDialogs().reset();
        useQueue(c.queue);
        checkRows({1});
        const QString text = printExpectingOpenFault();
        EXPECT_TRUE(text.startsWith(c.says)) << text.toStdString();
    }
    EXPECT_TRUE(receivedJobs(refusing).isEmpty());
    QProcess::execute(QStringLiteral("lpadmin"), {QStringLiteral("-x"), refusing});
}

TEST_F(LabelQueueTest, ThePortWindowListsTheSchedulersRawQueuesOnly) {
    PortChooser chooser;
    QStringList names;
    for (int i = 0; i < chooser.queueName()->count(); ++i) names << chooser.queueName()->itemText(i);
    EXPECT_TRUE(names.contains(QStringLiteral("labels"))) << names.join(',').toStdString();
    EXPECT_FALSE(names.contains(QStringLiteral("sheet"))) << names.join(',').toStdString();
    EXPECT_TRUE(chooser.queueNote()->text().isEmpty()) << chooser.queueNote()->text().toStdString();
}

namespace {

// A scheduler of this test's own, so that stopping it touches no other test.
class LabelQueueOwnSchedulerTest : public LabelSendTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(schedulerDir.isValid());
        ASSERT_EQ(QProcess::execute(QStringLiteral(PELORA_CUPSSERVER),
                                    {QStringLiteral("start"), schedulerDir.path()}),
                  0);
        qputenv("PELORA_TESTCUPS_DIR", schedulerDir.path().toUtf8());
        const auto env = schedulerEnv();
        qputenv("CUPS_SERVER", env.value(QStringLiteral("CUPS_SERVER")).toUtf8());
        received = env.value(QStringLiteral("PELORA_CUPS_RECEIVED"));
        LabelSendTest::SetUp();
    }
    void TearDown() override {
        LabelSendTest::TearDown();
        stopScheduler();
    }
    void stopScheduler() {
        QProcess::execute(QStringLiteral(PELORA_CUPSSERVER), {QStringLiteral("stop"), schedulerDir.path()});
    }

    QTemporaryDir schedulerDir;
    QString received;
};

}  // namespace

TEST_F(LabelQueueOwnSchedulerTest, ASchedulerThatStopsMidRunLosesTheJobAndNothingTurnsGrey) {
    setPortSetting(label_settings::kKindKey, QStringLiteral("QUEUE"));
    setPortSetting(label_settings::kQueueKey, QStringLiteral("labels"));
    QStringList products;
    for (int i = 1; i <= 40; ++i) products << QStringLiteral("제품%1").arg(i);
    typeLabels(products);
    QList<int> all;
    for (int row = 1; row <= 40; ++row) all << row;
    checkRows(all);
    // The scheduler stops once two labels have gone to it.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("labelProgress"));
        if (progress && progress->value() >= 2) {
            watch.stop();
            stopScheduler();
        }
    });
    watch.start(0);
    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultOk);
    window->PrintCheckedRows();
    watch.stop();
    ASSERT_EQ(testDialogs().boxes().size(), 2);
    const QString text = testDialogs().last().text;
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("Error 57 (라벨 프린터 대기열 labels: 인쇄 서비스에 보낼 수 없습니다 (")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("successful"))) << text.toStdString();
    EXPECT_TRUE(greyRows().isEmpty());
    EXPECT_TRUE(QDir(received).entryList({QStringLiteral("labels-*")}, QDir::Files).isEmpty());
}

TEST_F(LabelQueueOwnSchedulerTest, AJobThatTheServiceNeverConfirmsLeavesEveryRowWhite) {
    // Every label went to the scheduler, which stops before it confirms the job with its number.
    setPortSetting(label_settings::kKindKey, QStringLiteral("QUEUE"));
    setPortSetting(label_settings::kQueueKey, QStringLiteral("labels"));
    QStringList products;
    for (int i = 1; i <= 8; ++i) products << QStringLiteral("제품%1").arg(i);
    typeLabels(products);
    checkRows(firstRows(8));
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("labelProgress"));
        if (progress && progress->value() >= 8) {
            watch.stop();
            stopScheduler();
        }
    });
    watch.start(0);
    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultOk);
    window->PrintCheckedRows();
    watch.stop();
    ASSERT_EQ(testDialogs().boxes().size(), 2);
    EXPECT_TRUE(testDialogs().last().text.contains(QStringLiteral("라벨 프린터 대기열 labels: ")))
        << testDialogs().last().text.toStdString();
    EXPECT_TRUE(greyRows().isEmpty());
    EXPECT_EQ(grid()->text(1, 1), QStringLiteral("1"));  // still ticked for the next try
}
