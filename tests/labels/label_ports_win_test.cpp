// Labels on Windows reaching the printer, read back as it would have received them under Wine:
// - a serial port through the system's communications functions: scripts/windows maps COM1 to a
//   pseudo-terminal whose printer end is copied into a file, named by PELORA_WINE_COM1_CAPTURE;
// - a Windows printer as one RAW job of the print spooler: Wine's spooler presents the queues of the run's
//   own print scheduler, whose raw queue "labels" keeps each job as a file in PELORA_CUPS_RECEIVED.
#include "labels/label_commands.h"
#include "labels_fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

using namespace labels_test;

namespace {

class LabelComPortTest : public LabelSendTest {
protected:
    void SetUp() override {
        LabelSendTest::SetUp();
        capturePath = qEnvironmentVariable("PELORA_WINE_COM1_CAPTURE");
        ASSERT_FALSE(capturePath.isEmpty()) << "COM1 is not mapped: these tests run through scripts/windows, "
                                               "which points it at a pseudo-terminal";
        captured = QFile(capturePath).size();
    }
    // What arrived at the printer's end since the test began, once `size` bytes are there or five seconds
    // passed.
    QByteArray arrived(qsizetype size) const {
        QElapsedTimer clock;
        clock.start();
        QByteArray bytes;
        do {
            QFile file(capturePath);
            if (file.open(QIODevice::ReadOnly) && file.seek(captured)) bytes = file.readAll();
            if (bytes.size() >= size) break;
            QThread::msleep(20);
        } while (clock.elapsed() < 5000);
        return bytes;
    }

    QString capturePath;
    qint64 captured = 0;
};

}  // namespace

TEST_F(LabelComPortTest, TheSerialPortGetsTheSetupAndOneBlockPerCheckedRowByteForByte) {
    typeLabels({QStringLiteral("양파"), QStringLiteral("대파"), QStringLiteral("감자")});
    grid()->setText(11, 1, QStringLiteral("똠 \"특\" 배송"));
    checkRows({1, 3});
    print();

    const QByteArray expected = expectedBytes({1, 3});
    EXPECT_EQ(arrived(expected.size()), expected);
    EXPECT_EQ(window->PortType(), 1);
    EXPECT_EQ(greyRows(), (QList<int>{1, 3}));
    EXPECT_EQ(testDialogs().boxes().size(), 1);
}

TEST_F(LabelComPortTest, AMissingSerialPortIsReportedOnceAndNothingTurnsGrey) {
    // COM3 of this prefix leads nowhere.
    setPortType(QStringLiteral("3"));
    mapPort(QStringLiteral("COM3"), QStringLiteral("\\\\.\\COM9"));
    window = std::make_unique<fBPrintLabel>();
    typeLabels({QStringLiteral("양파")});
    checkRows({1});
    const QString technical = printExpectingOpenFault();
    EXPECT_TRUE(technical.contains(QStringLiteral("COM9"))) << technical.toStdString();
    EXPECT_TRUE(arrived(1).isEmpty());
}

namespace {

class LabelSpoolerTest : public LabelSendTest {
protected:
    void SetUp() override {
        LabelSendTest::SetUp();
        received = qEnvironmentVariable("PELORA_CUPS_RECEIVED");
        ASSERT_FALSE(received.isEmpty()) << "no print scheduler: these tests run through scripts/windows";
    }
    void useQueue(const QString& name) {
        setPortSetting(label_settings::kKindKey, QStringLiteral("QUEUE"));
        setPortSetting(label_settings::kQueueKey, name);
    }
    QStringList jobs() const {
        QStringList files = QDir(received).entryList({QStringLiteral("labels-*")}, QDir::Files);
        files.removeIf([](const QString& name) { return name.endsWith(QStringLiteral(".part")); });
        return files;
    }
    // The bytes of the first job that was not among `before`, once it is there (empty after 30 s).
    QByteArray newJob(const QStringList& before) const {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000) {
            for (const QString& job : jobs()) {
                if (before.contains(job)) continue;
                QFile file(QDir(received).filePath(job));
                if (file.open(QIODevice::ReadOnly)) return file.readAll();
            }
            QThread::msleep(50);
        }
        return QByteArray();
    }

    QString received;
};

}  // namespace

TEST_F(LabelSpoolerTest, AWindowsPrinterGetsTheRunAsOneRawJobByteForByte) {
    useQueue(QStringLiteral("labels"));
    typeLabels({QStringLiteral("양파"), QStringLiteral("대파"), QStringLiteral("감자")});
    grid()->setText(11, 2, QStringLiteral("똠 \"특\" 배송"));
    checkRows({2, 3});
    const QStringList before = jobs();
    print();

    EXPECT_EQ(newJob(before), expectedBytes({2, 3}));
    EXPECT_EQ(greyRows(), (QList<int>{2, 3}));
    EXPECT_EQ(testDialogs().boxes().size(), 1);
}

TEST_F(LabelSpoolerTest, APrinterTheSpoolerDoesNotKnowIsReportedOnceAndNothingTurnsGrey) {
    useQueue(QStringLiteral("no-such-printer"));
    typeLabels({QStringLiteral("양파")});
    checkRows({1});
    const QString technical = printExpectingOpenFault();
    EXPECT_TRUE(technical.contains(QStringLiteral("no-such-printer"))) << technical.toStdString();
}
