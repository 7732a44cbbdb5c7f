// Labels on Windows reaching a serial port through the system's communications functions. Under Wine,
// scripts/windows maps COM1 to a pseudo-terminal whose printer end is copied into a file, named by
// PELORA_WINE_COM1_CAPTURE; the test reads back from that file what the printer would have received.
#include "labels/label_commands.h"
#include "labels_fixture.h"

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
