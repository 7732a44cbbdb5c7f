// Labels reaching the printer: the bytes on a serial line (a pseudo-terminal) and on the parallel port
// (a device file), the port settings, and the failures of opening and writing.
#include "labels/label_commands.h"
#include "labels/label_sink.h"
#include "labels_fixture.h"
#include "platform/ports/port_devices.h"
#include "pty_line_unix.h"

#include <QFile>
#include <QProgressDialog>
#include <QTemporaryFile>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace labels_test;
using namespace label_commands;

namespace {

class LabelPortTest : public LabelSendTest {};

}  // namespace

TEST_F(LabelPortTest, SerialPortsGetTheSetupAndOneBlockPerCheckedRowByteForByte) {
    // PORTTYPE missing means COM1; 3 means COM3. Each port name maps to a pseudo-terminal here.
    for (const QString& portType : {QString(), QStringLiteral("3")}) {
        Pty line;
        ASSERT_TRUE(line.valid());
        clearPortSettings();
        testDialogs().reset();
        if (!portType.isEmpty()) setPortType(portType);
        mapPort(portType.isEmpty() ? QStringLiteral("COM1") : QStringLiteral("COM3"), line.path());
        mapPort(QStringLiteral("COM2"), QStringLiteral("/nonexistent"));

        window = std::make_unique<fBPrintLabel>();
        typeLabels({QStringLiteral("양파"), QStringLiteral("대파"), QStringLiteral("감자")});
        grid()->setText(11, 1, QStringLiteral("똠 \"특\" 배송"));
        checkRows({1, 3});
        print();

        const QByteArray expected = expectedBytes({1, 3});
        EXPECT_EQ(line.readUntil(expected.size()), expected) << portType.toStdString();
        EXPECT_EQ(window->PortType(), portType.isEmpty() ? 1 : 3);
        EXPECT_EQ(greyRows(), (QList<int>{1, 3}));
        EXPECT_EQ(testDialogs().boxes().size(), 1);
    }
}

TEST_F(LabelPortTest, TheParallelPortIsWrittenAsAFileWithALineBreakAfterEachBlock) {
    QTemporaryFile device;
    ASSERT_TRUE(device.open());
    setPortType(QStringLiteral("0"));
    mapPort(QStringLiteral("LPT1"), device.fileName());
    typeLabels({QStringLiteral("양파"), QStringLiteral("대파")});
    checkRows({2});
    print();
    QFile written(device.fileName());
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), expectedBytes({2}, "\r\n"));
    EXPECT_EQ(window->PortType(), 0);
    EXPECT_EQ(greyRows(), QList<int>{2});
}

TEST_F(LabelPortTest, APortThatCannotBeOpenedIsReportedOnceWithItsDeviceAndNothingTurnsGrey) {
    const QString missing = dataDir.path() + QStringLiteral("/no-such-tty");
    QTemporaryFile readOnly;
    ASSERT_TRUE(readOnly.open());
    QFile::setPermissions(readOnly.fileName(), QFile::ReadOwner);
    const bool root = ::geteuid() == 0;
    struct Case {
        QString portType;
        QString port;
        QString device;
        QString number;
    } cases[] = {
        {QStringLiteral("1"), QStringLiteral("COM1"), missing, QStringLiteral("Error 53 (")},
        {QStringLiteral("0"), QStringLiteral("LPT1"), missing, QStringLiteral("Error 53 (")},
        {QStringLiteral("0"), QStringLiteral("LPT1"), readOnly.fileName(), QStringLiteral("Error 70 (")},
    };
    typeLabels({QStringLiteral("양파"), QStringLiteral("대파")});
    for (const Case& c : cases) {
        if (root && c.number.contains(QStringLiteral("70"))) continue;  // root may write anything
        testDialogs().reset();
        setPortType(c.portType);
        mapPort(c.port, c.device);
        checkRows({1, 2});
        const QString text = printExpectingOpenFault();
        EXPECT_TRUE(text.startsWith(c.number)) << text.toStdString();
        EXPECT_TRUE(text.contains(c.device)) << text.toStdString();
        // The clerk reads first which port and what to check.
        EXPECT_TRUE(
            m_openAdvice.startsWith(QStringLiteral("라벨 프린터 포트 %1 (%2)를 ").arg(c.port, c.device)))
            << m_openAdvice.toStdString();
        EXPECT_TRUE(m_openAdvice.endsWith(QStringLiteral("확인하세요.")) ||
                    m_openAdvice.endsWith(QStringLiteral("요청하세요.")))
            << m_openAdvice.toStdString();
    }
    // A missing device never becomes a new plain file.
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(LabelPortTest, AWriteThatFailsMidwayStopsTheRunAndOnlyTheLabelsSentTurnGrey) {
    Pty line;
    ASSERT_TRUE(line.valid());
    mapPort(QStringLiteral("COM1"), line.path());
    typeLabels({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                QStringLiteral("5"), QStringLiteral("6")});
    checkRows({1, 2, 3, 4, 5, 6});
    // The printer goes away as soon as a label has come through: the line hangs up.
    QSocketNotifier arrival(line.master(), QSocketNotifier::Read);
    QObject::connect(&arrival, &QSocketNotifier::activated, [&] {
        line.readAvailable();
        if (line.received().contains("PRINT 1,1")) {
            arrival.setEnabled(false);
            line.closeMaster();
        }
    });
    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultOk);
    window->PrintCheckedRows();
    ASSERT_EQ(testDialogs().boxes().size(), 2);
    EXPECT_TRUE(testDialogs().last().text.endsWith(
        QStringLiteral("in procedure Print_Barcode of Form FrmProd_prnbar")))
        << testDialogs().last().text.toStdString();
    const int labelsArrived = int(line.received().count("PRINT 1,1"));
    const QList<int> grey = greyRows();
    ASSERT_GE(grey.size(), labelsArrived);
    ASSERT_LT(grey.size(), 6);
    for (int i = 0; i < grey.size(); ++i) EXPECT_EQ(grey[i], i + 1);
}

TEST_F(LabelPortTest, ACancelStopsBetweenLabelsAndOnlyTheLabelsSentTurnGrey) {
    Pty line;
    ASSERT_TRUE(line.valid());
    mapPort(QStringLiteral("COM1"), line.path());
    QStringList products;
    for (int i = 1; i <= 8; ++i) products << QStringLiteral("제품%1").arg(i);
    typeLabels(products);
    checkRows({1, 2, 3, 4, 5, 6, 7, 8});
    // The user presses 취소 in the progress window once two labels have come through.
    QSocketNotifier arrival(line.master(), QSocketNotifier::Read);
    QObject::connect(&arrival, &QSocketNotifier::activated, [&] {
        line.readAvailable();
        if (line.received().count("PRINT 1,1") >= 2)
            if (auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("labelProgress")))
                progress->cancel();
    });
    print();
    arrival.setEnabled(false);
    const QList<int> grey = greyRows();
    ASSERT_GE(grey.size(), 2);
    ASSERT_LT(grey.size(), 8);
    for (int i = 0; i < grey.size(); ++i) EXPECT_EQ(grey[i], i + 1);
    // What arrived is exactly the setup and the labels marked as sent.
    QList<int> sent;
    for (int row : grey) sent << row;
    const QByteArray expected = expectedBytes(sent);
    EXPECT_EQ(line.readUntil(expected.size()), expected);
}

namespace {

// A printer program reading the parallel port's pipe: it takes `stopAfter` bytes and then reads no more,
// keeping its end open, as a printer that jammed.
class PipeReader {
public:
    PipeReader(const QString& path, qsizetype stopAfter) : m_stopAfter(stopAfter) {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        m_thread = std::thread([this] {
            char buffer[512];
            while (!m_stop && m_taken < m_stopAfter) {
                pollfd p{m_fd, POLLIN, 0};
                if (::poll(&p, 1, 20) <= 0) continue;
                const ssize_t n =
                    ::read(m_fd, buffer, size_t(std::min<qsizetype>(512, m_stopAfter - m_taken)));
                if (n > 0) m_taken += n;
            }
        });
    }
    ~PipeReader() {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    qsizetype m_stopAfter;
    std::atomic<qsizetype> m_taken{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace

TEST_F(LabelPortTest, OnAPipeExactlyTheLabelsItsReaderTookWholeTurnGrey) {
    QTemporaryDir dir;
    const QString fifo = dir.path() + QStringLiteral("/lp0");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    setPortType(QStringLiteral("0"));
    mapPort(QStringLiteral("LPT1"), fifo);
    setPortSetting(label_settings::kTimeoutKey, QStringLiteral("0.3"));
    QStringList products;
    for (int i = 1; i <= 8; ++i) products << QStringLiteral("제품%1").arg(i);
    // The reader stops in the middle of the label after `complete` whole ones.
    for (int complete : {0, 3, 7}) {
        window = std::make_unique<fBPrintLabel>();
        testDialogs().reset();
        typeLabels(products);
        checkRows(firstRows(8));
        const qsizetype upTo = expectedBytes(firstRows(complete), "\r\n").size();
        const qsizetype next = expectedBytes(firstRows(complete + 1), "\r\n").size();
        PipeReader reader(fifo, (upTo + next) / 2);
        ASSERT_TRUE(reader.valid());
        testDialogs().answer(Dialogs::ResultYes);
        testDialogs().answer(Dialogs::ResultOk);
        window->PrintCheckedRows();
        ASSERT_EQ(testDialogs().boxes().size(), 2) << complete;
        EXPECT_TRUE(
            testDialogs().last().text.contains(QStringLiteral("0.3초 동안 전송되지 않았습니다) in "
                                                              "procedure Print_Barcode")))
            << testDialogs().last().text.toStdString();
        EXPECT_EQ(greyRows(), firstRows(complete)) << complete;
    }
}

TEST(LabelPortMapping, PortNamesMapToDevicesAndAUserOverridesThem) {
    clearPortSettings();
    EXPECT_EQ(port_devices::PortName(0), QStringLiteral("LPT1"));
    EXPECT_EQ(port_devices::PortName(3), QStringLiteral("COM3"));
    EXPECT_EQ(label_settings::DevicePath(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(label_settings::DevicePath(QStringLiteral("COM10")), QStringLiteral("/dev/ttyS9"));
    EXPECT_EQ(label_settings::DevicePath(QStringLiteral("LPT1")),
              QFile::exists(QStringLiteral("/dev/usb/lp0")) ? QStringLiteral("/dev/usb/lp0")
                                                            : QStringLiteral("/dev/lp0"));
    EXPECT_EQ(label_settings::DevicePath(QStringLiteral("COM0")), QString());
    mapPort(QStringLiteral("COM3"), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(label_settings::DevicePath(QStringLiteral("com3")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(port_devices::DefaultDevicePath(QStringLiteral("COM3")), QStringLiteral("/dev/ttyS2"));
    clearPortSettings();
}

TEST(LabelPortDevice, AParallelDeviceThatTakesNothingFailsAfterTheStallTimeInsteadOfFreezing) {
    // A printer that is off line: a pipe whose reader never reads.
    QTemporaryDir dir;
    const QString fifo = dir.path() + QStringLiteral("/lp0");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    mapPort(QStringLiteral("LPT1"), fifo);
    label_settings::LabelTarget target;
    target.portType = 0;
    target.timeoutMs = 200;
    const auto port = labels::MakeLabelSink(target);
    ASSERT_TRUE(port->open());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(port->write(QByteArray(1 << 20, 'x')));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(port->failure().number, 57);
    EXPECT_TRUE(port->failure().description.contains(fifo));
    port->finish();
    ::close(reader);
    clearPortSettings();
}

TEST_F(LabelPortTest, APrintServiceThatCannotBeReachedIsReportedOnceWithTheQueue) {
    // This program's print service is a path where no scheduler listens.
    setPortSetting(label_settings::kKindKey, QStringLiteral("QUEUE"));
    setPortSetting(label_settings::kQueueKey, QStringLiteral("labels"));
    typeLabels({QStringLiteral("양파")});
    checkRows({1});
    const QString text = printExpectingOpenFault();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Error 53 (라벨 프린터 대기열 labels: 인쇄 서비스(") +
                                qEnvironmentVariable("CUPS_SERVER") +
                                QStringLiteral(")에 연결할 수 없습니다")))
        << text.toStdString();
}
