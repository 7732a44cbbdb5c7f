// The 포트 window: a device file typed for a port, shown as connected only when it can be written, and the
// choice of a print queue or a network printer stored under keys of their own beside PORTTYPE.
#include "labels/port_chooser.h"
#include "labels_fixture.h"
#include "pty_line_unix.h"
#include "support/widget_input.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>

using namespace labels_test;

namespace {

// Replaces the text of a line edit as a user types it.
void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    sendKey(edit, Qt::Key_Backspace);
    for (QChar c : text) sendKey(edit, Qt::Key_unknown, Qt::NoModifier, QString(c));
}

}  // namespace

TEST_F(LabelWindowTest, ATypedDeviceFileIsCheckedAsTypedAndStoredAsThePortsMapping) {
    Pty line;
    ASSERT_TRUE(line.valid());
    mapPort(QStringLiteral("COM2"), QStringLiteral("/dev/ttyUSB7"));
    setPortSetting(label_settings::kKindKey, QStringLiteral("QUEUE"));
    setPortSetting(label_settings::kQueueKey, QStringLiteral("labels"));
    PortChooser chooser;
    chooser.list()->setCurrentRow(1);
    EXPECT_EQ(chooser.devicePath()->text(), QStringLiteral("/dev/ttyS0"));

    const QString missing = dataDir.path() + QStringLiteral("/ttyUSB0");
    struct Case {
        QString path;
        QString state;
    } cases[] = {{missing, QStringLiteral("장치 없음")},
                 {dataDir.path(), QStringLiteral("열 수 없음")},
                 {line.path(), QStringLiteral("연결됨")}};
    for (const Case& c : cases) {
        typeInto(chooser.devicePath(), c.path);
        EXPECT_EQ(chooser.devicePath()->text(), c.path);
        EXPECT_EQ(chooser.deviceState()->text(), c.state) << c.path.toStdString();
        EXPECT_TRUE(chooser.list()->item(1)->text().endsWith(c.path + QStringLiteral("   [") + c.state + "]"))
            << chooser.list()->item(1)->text().toStdString();
    }
    // COM2's mapping typed back to the built-in device: the mapping goes.
    chooser.list()->setCurrentRow(2);
    EXPECT_EQ(chooser.devicePath()->text(), QStringLiteral("/dev/ttyUSB7"));
    typeInto(chooser.devicePath(), QStringLiteral("/dev/ttyS1"));
    chooser.list()->setCurrentRow(1);
    EXPECT_EQ(chooser.devicePath()->text(), line.path());  // what was typed for COM1 stays
    chooser.accept();

    EXPECT_EQ(portSetting(QStringLiteral("PORTTYPE")), QStringLiteral("1"));
    EXPECT_EQ(portSetting(QStringLiteral("COM1")), line.path());
    EXPECT_EQ(portSetting(QStringLiteral("COM2")), QString());
    EXPECT_EQ(label_settings::DevicePath(QStringLiteral("COM2")), QStringLiteral("/dev/ttyS1"));
    // A port chosen again: the queue no longer counts, the port type decides as before.
    EXPECT_EQ(portSetting(QStringLiteral("PORTKIND")), QString());
    EXPECT_EQ(label_settings::Load().kind, QString());
    // The next run goes to the typed device.
    typeLabels({QStringLiteral("양파")});
    grid()->setText(1, 1, QStringLiteral("1"));
    testDialogs().answer(Dialogs::ResultYes);
    window->PrintCheckedRows();
    EXPECT_TRUE(line.readUntil(10).startsWith("SIZE 80 mm,70 mm\r\n"));
}

TEST_F(LabelWindowTest, AQueueOrANetworkPrinterIsStoredBesideThePortTypeAndShownAgain) {
    setPortType(QStringLiteral("3"));
    {
        PortChooser chooser;
        EXPECT_EQ(chooser.list()->currentRow(), 3);
        // No print service here: the queue list says so, and a name can still be typed.
        EXPECT_TRUE(chooser.queueNote()->text().contains(QStringLiteral("연결할 수 없습니다")))
            << chooser.queueNote()->text().toStdString();
        chooser.list()->setCurrentRow(PortChooser::kNetworkRow);
        EXPECT_EQ(chooser.netPort()->value(), 9100);
        testDialogs().answer(Dialogs::ResultOk);
        chooser.accept();  // no address yet
        EXPECT_EQ(testDialogs().last().text, QStringLiteral("프린터 주소를 입력하세요."));
        EXPECT_NE(chooser.result(), QDialog::Accepted);
        typeInto(chooser.host(), QStringLiteral("192.168.0.50"));
        chooser.netPort()->setValue(9101);
        chooser.accept();
        EXPECT_EQ(chooser.result(), QDialog::Accepted);
    }
    EXPECT_EQ(portSetting(QStringLiteral("PORTKIND")), QStringLiteral("NETWORK"));
    EXPECT_EQ(portSetting(QStringLiteral("NETHOST")), QStringLiteral("192.168.0.50"));
    EXPECT_EQ(portSetting(QStringLiteral("NETPORT")), QStringLiteral("9101"));
    EXPECT_EQ(portSetting(QStringLiteral("PORTTYPE")), QStringLiteral("3"));
    {
        PortChooser chooser;
        EXPECT_EQ(chooser.list()->currentRow(), PortChooser::kNetworkRow);
        EXPECT_EQ(chooser.list()->item(PortChooser::kNetworkRow)->text(),
                  QStringLiteral("네트워크 프린터   192.168.0.50:9101"));
        chooser.list()->setCurrentRow(PortChooser::kQueueRow);
        testDialogs().answer(Dialogs::ResultOk);
        chooser.accept();  // no queue named
        EXPECT_EQ(testDialogs().last().text, QStringLiteral("대기열 이름을 입력하세요."));
        chooser.queueName()->setCurrentText(QStringLiteral("라벨 USB"));
        chooser.accept();
    }
    EXPECT_EQ(portSetting(QStringLiteral("PORTKIND")), QStringLiteral("QUEUE"));
    EXPECT_EQ(portSetting(QStringLiteral("QUEUENAME")), QStringLiteral("라벨 USB"));
    {
        PortChooser chooser;
        EXPECT_EQ(chooser.list()->currentRow(), PortChooser::kQueueRow);
        EXPECT_EQ(chooser.queueName()->currentText(), QStringLiteral("라벨 USB"));
        chooser.list()->setCurrentRow(3);
        chooser.accept();
    }
    EXPECT_EQ(portSetting(QStringLiteral("PORTKIND")), QString());
    EXPECT_EQ(portSetting(QStringLiteral("PORTTYPE")), QStringLiteral("3"));
}
