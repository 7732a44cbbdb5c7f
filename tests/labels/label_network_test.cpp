// Labels reaching a network label printer's raw port: a local listener stands in for the printer. The exact
// bytes arrive; a printer that stops reading ends the run with one message within the time limit; a
// refused connection names the host and the port.
#include "labels_fixture.h"
#include "raw_listener.h"

#include <QElapsedTimer>

#include <netinet/in.h>
#include <sys/socket.h>

using namespace labels_test;

namespace {

class LabelNetworkTest : public LabelSendTest {
protected:
    void useNetworkPrinter(int port, const QString& host = QStringLiteral("127.0.0.1")) {
        setPortSetting(label_settings::kKindKey, QStringLiteral("NETWORK"));
        setPortSetting(label_settings::kHostKey, host);
        setPortSetting(label_settings::kNetPortKey, QString::number(port));
        // A COM port that would fail, so that a run that went there instead shows.
        setPortType(QStringLiteral("3"));
        mapPort(QStringLiteral("COM3"), QStringLiteral("/nonexistent"));
    }
};

// A port on 127.0.0.1 that is bound but not listening: connecting to it is refused.
class RefusingPort {
public:
    RefusingPort() {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof at;
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&at), sizeof at);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&at), &length);
        m_port = ntohs(at.sin_port);
    }
    ~RefusingPort() { ::close(m_fd); }
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

}  // namespace

TEST_F(LabelNetworkTest, TheSetupAndTheCheckedLabelsArriveByteForByte) {
    RawListener printer(RawListener::Mode::Read);
    ASSERT_GT(printer.port(), 0);
    useNetworkPrinter(printer.port());
    typeLabels({QStringLiteral("양파"), QStringLiteral("대파"), QStringLiteral("감자")});
    grid()->setText(11, 3, QStringLiteral("똠 \"특\" 배송"));
    checkRows({1, 3});
    print();
    const QByteArray expected = expectedBytes({1, 3});
    EXPECT_EQ(printer.receiveUntil(expected.size() + 1), expected);  // and the connection closed after them
    EXPECT_EQ(greyRows(), (QList<int>{1, 3}));
    EXPECT_EQ(testDialogs().boxes().size(), 1);
}

TEST_F(LabelNetworkTest, APrinterThatStopsReadingEndsTheRunWithOneMessageWithinTheTimeLimit) {
    // A printer with a small buffer that has stopped taking data: it acknowledges what fits and no more.
    RawListener printer(RawListener::Mode::StopReading, 4096);
    ASSERT_GT(printer.port(), 0);
    useNetworkPrinter(printer.port());
    setPortSetting(label_settings::kTimeoutKey, QStringLiteral("0.3"));
    QStringList products;
    for (int i = 1; i <= 80; ++i) products << QStringLiteral("제품%1").arg(i);
    typeLabels(products);
    QList<int> all;
    for (int row = 1; row <= 80; ++row) all << row;
    checkRows(all);

    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultOk);
    QElapsedTimer clock;
    clock.start();
    window->PrintCheckedRows();
    EXPECT_LT(clock.elapsed(), 5000);

    ASSERT_EQ(testDialogs().boxes().size(), 2);
    const QString text = testDialogs().last().text;
    EXPECT_EQ(text, QStringLiteral("Error 57 (라벨 프린터 127.0.0.1:%1: 0.3초 동안 전송되지 않았습니다) in "
                                   "procedure Print_Barcode of Form FrmProd_prnbar")
                        .arg(printer.port()));
    // The labels the printer acknowledged are grey, in order, and none after them.
    const QList<int> grey = greyRows();
    ASSERT_LT(grey.size(), 80);
    for (int i = 0; i < grey.size(); ++i) ASSERT_EQ(grey[i], i + 1);
    printer.resumeReading();
    EXPECT_TRUE(printer.receiveUntil(1 << 20).startsWith(expectedBytes(grey)));
}

TEST_F(LabelNetworkTest, ExactlyTheLabelsThePrinterAcknowledgedWholeTurnGrey) {
    // A printer with a small buffer that reads some labels and a half, then jams: its end acknowledges
    // what it read and what fits in its buffer, and no byte more.
    QStringList products;
    for (int i = 1; i <= 80; ++i) products << QStringLiteral("제품%1").arg(i);
    typeLabels(products);
    checkRows(firstRows(80));
    const qsizetype stopAfter = expectedBytes(firstRows(10)).size() + 100;
    RawListener printer(RawListener::Mode::Read, 4096, stopAfter);
    ASSERT_GT(printer.port(), 0);
    useNetworkPrinter(printer.port());
    setPortSetting(label_settings::kTimeoutKey, QStringLiteral("0.3"));
    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultOk);
    window->PrintCheckedRows();
    ASSERT_EQ(testDialogs().boxes().size(), 2);
    const qsizetype acknowledged = printer.acknowledged();
    ASSERT_LT(acknowledged, expectedBytes(firstRows(80)).size());
    EXPECT_EQ(greyRows(), rowsWithin(firstRows(80), acknowledged)) << acknowledged;
    EXPECT_GE(greyRows().size(), 10);
}

TEST_F(LabelNetworkTest, APrinterThatCannotBeReachedIsReportedOnceByHostAndPort) {
    RefusingPort refusing;
    struct Case {
        QString host;
        int port;
        QString advice;  // the box's first line
        QString says;    // the start of its technical line
    } cases[] = {
        {QStringLiteral("127.0.0.1"), refusing.port(),
         QStringLiteral("라벨 프린터(127.0.0.1:%1)에 연결할 수 없습니다. 프린터가 켜져 있는지, 주소가 맞는지 "
                        "확인하세요.")
             .arg(refusing.port()),
         QStringLiteral("Error 75 (라벨 프린터 127.0.0.1:%1: 연결이 거부되었습니다").arg(refusing.port())},
        {QString(), 9100,
         QStringLiteral("라벨 프린터의 주소가 없습니다. [포트]에서 네트워크 프린터의 주소를 입력하세요."),
         QStringLiteral("Error 53 (라벨 프린터: 네트워크 프린터의 주소가 없습니다)")},
    };
    typeLabels({QStringLiteral("양파")});
    for (const Case& c : cases) {
        testDialogs().reset();
        useNetworkPrinter(c.port, c.host);
        checkRows({1});
        const QString text = printExpectingOpenFault();
        EXPECT_TRUE(text.startsWith(c.says)) << text.toStdString();
        EXPECT_EQ(m_openAdvice, c.advice);
    }
}
