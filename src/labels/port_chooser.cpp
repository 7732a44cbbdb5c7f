#include "labels/port_chooser.h"

#include "common/msgbox.h"
#include "labels/print_queues.h"
#include "platform/dialogs.h"
#include "platform/ports/port_devices.h"
#include "platform/printer/sheet_printer.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

enum Page { DevicePage, QueuePage, NetworkPage };

// What the device says when the program opens it for writing, as a print run will: a device that exists
// but refuses the user (not in the lp or dialout group) or answers with an error is no connected printer.
QString writableState(const QString& device) {
    if (device.isEmpty()) return QStringLiteral("장치 없음");
    switch (port_devices::WritableState(device)) {
        case port_devices::DeviceState::Writable:
            return QStringLiteral("연결됨");
        case port_devices::DeviceState::Missing:
            return QStringLiteral("장치 없음");
        case port_devices::DeviceState::Refused:
            return QStringLiteral("권한 없음");
        case port_devices::DeviceState::Failed:
            break;
    }
    return QStringLiteral("열 수 없음");
}

}  // namespace

PortChooser::PortChooser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PortChooser"));
    setWindowTitle(QStringLiteral("라벨 프린터 포트"));
    auto* caption = new QLabel(QStringLiteral("라벨 프린터가 연결된 포트를 고르세요."), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("portList"));
    for (int type = 0; type <= kNetworkRow; ++type) new QListWidgetItem(m_list);

    // A port's device file, typed or mapped.
    auto* devicePage = new QWidget(this);
    m_devicePath = new QLineEdit(devicePage);
    m_devicePath->setObjectName(QStringLiteral("devicePath"));
    m_deviceState = new QLabel(devicePage);
    m_deviceState->setObjectName(QStringLiteral("deviceState"));
    auto* deviceForm = new QFormLayout(devicePage);
    deviceForm->setContentsMargins(0, 0, 0, 0);
    deviceForm->addRow(QStringLiteral("장치 파일:"), m_devicePath);
    deviceForm->addRow(QStringLiteral("상태:"), m_deviceState);

    // The queues the print service has; a name can be typed too.
    auto* queuePage = new QWidget(this);
    m_queue = new QComboBox(queuePage);
    m_queue->setObjectName(QStringLiteral("queueName"));
    m_queue->setEditable(true);
    QString queueError;
    {
        // A print service on another machine may take a moment to answer.
        WaitCursor wait;
        // Only raw queues: a queue with a driver would turn the label commands into a printed page.
        m_queue->addItems(sheet_printer::rawQueues(labels::PrintQueueNames(&queueError)));
    }
    m_queueNote = new QLabel(queueError.isEmpty() && m_queue->count() == 0
                                 ? QStringLiteral("인쇄 서비스에 라벨 프린터(raw) 대기열이 없습니다.")
                                 : queueError,
                             queuePage);
    m_queueNote->setObjectName(QStringLiteral("queueNote"));
    m_queueNote->setWordWrap(true);
    auto* queueForm = new QFormLayout(queuePage);
    queueForm->setContentsMargins(0, 0, 0, 0);
    queueForm->addRow(QStringLiteral("대기열:"), m_queue);
    queueForm->addRow(QString(), m_queueNote);

    // A network printer's raw port.
    auto* networkPage = new QWidget(this);
    m_host = new QLineEdit(networkPage);
    m_host->setObjectName(QStringLiteral("netHost"));
    m_host->setPlaceholderText(QStringLiteral("예: 192.168.0.50"));
    m_netPort = new QSpinBox(networkPage);
    m_netPort->setObjectName(QStringLiteral("netPort"));
    m_netPort->setRange(1, 65535);
    m_netPort->setValue(label_settings::kDefaultNetPort);
    auto* networkForm = new QFormLayout(networkPage);
    networkForm->setContentsMargins(0, 0, 0, 0);
    networkForm->addRow(QStringLiteral("주소:"), m_host);
    networkForm->addRow(QStringLiteral("포트:"), m_netPort);

    m_details = new QStackedWidget(this);
    m_details->insertWidget(DevicePage, devicePage);
    m_details->insertWidget(QueuePage, queuePage);
    m_details->insertWidget(NetworkPage, networkPage);

    // What is stored now.
    m_stored = label_settings::Load();
    const label_settings::LabelTarget& target = m_stored;
    if (!target.queue.isEmpty()) m_queue->setCurrentText(target.queue);
    m_host->setText(target.host);
    if (target.netPort >= 1 && target.netPort <= 65535) m_netPort->setValue(target.netPort);
    for (int row = 0; row <= kNetworkRow; ++row) refreshEntry(row);
    const int stored = StoredPortType();
    const int row = target.kind == label_settings::kKindQueue     ? kQueueRow
                    : target.kind == label_settings::kKindNetwork ? kNetworkRow
                    : stored >= 0 && stored <= kSerialPorts       ? stored
                                                                  : 1;

    connect(m_list, &QListWidget::currentRowChanged, this, &PortChooser::showDetails);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &PortChooser::accept);
    connect(m_devicePath, &QLineEdit::textEdited, this, &PortChooser::devicePathEdited);
    connect(m_queue, &QComboBox::currentTextChanged, this, [this] { refreshEntry(kQueueRow); });
    connect(m_host, &QLineEdit::textChanged, this, [this] { refreshEntry(kNetworkRow); });
    connect(m_netPort, &QSpinBox::valueChanged, this, [this] { refreshEntry(kNetworkRow); });
    m_list->setCurrentRow(row);
    showDetails();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PortChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PortChooser::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_details);
    layout->addWidget(buttons);
    resize(520, 420);
}

QString PortChooser::pathOf(int portType) const {
    const auto typed = m_typedPaths.constFind(portType);
    const QString name = port_devices::PortName(portType);
    if (typed == m_typedPaths.constEnd()) return label_settings::DevicePath(name);
    return typed->trimmed().isEmpty() ? port_devices::DefaultDevicePath(name) : typed->trimmed();
}

void PortChooser::refreshEntry(int row) {
    QListWidgetItem* item = m_list->item(row);
    if (row == kQueueRow) {
        const QString name = m_queue->currentText().trimmed();
        item->setText(QStringLiteral("인쇄 대기열   %1").arg(name.isEmpty() ? QStringLiteral("-") : name));
        return;
    }
    if (row == kNetworkRow) {
        const QString host = m_host->text().trimmed();
        item->setText(QStringLiteral("네트워크 프린터   %1")
                          .arg(host.isEmpty() ? QStringLiteral("-")
                                              : QStringLiteral("%1:%2").arg(host).arg(m_netPort->value())));
        return;
    }
    const QString name = port_devices::PortName(row);
    const QString kind = row == 0 ? QStringLiteral("병렬/USB") : QStringLiteral("직렬");
    const QString device = pathOf(row);
    item->setText(QStringLiteral("%1  (%2)   %3   [%4]").arg(name, kind, device, writableState(device)));
}

void PortChooser::showDetails() {
    const int row = m_list->currentRow();
    if (row == kQueueRow) {
        m_details->setCurrentIndex(QueuePage);
        return;
    }
    if (row == kNetworkRow) {
        m_details->setCurrentIndex(NetworkPage);
        return;
    }
    m_details->setCurrentIndex(DevicePage);
    if (row < 0) return;
    const QSignalBlocker quiet(m_devicePath);
    m_devicePath->setText(pathOf(row));
    m_devicePath->setPlaceholderText(port_devices::DefaultDevicePath(port_devices::PortName(row)));
    m_deviceState->setText(writableState(pathOf(row)));
}

void PortChooser::devicePathEdited(const QString& path) {
    const int row = m_list->currentRow();
    if (row < 0 || row > kSerialPorts) return;
    m_typedPaths[row] = path;
    m_deviceState->setText(writableState(pathOf(row)));
    refreshEntry(row);
}

int PortChooser::StoredPortType() {
    const label_settings::LabelTarget target = label_settings::Load();
    return target.portTypeValid ? target.portType : 1;
}

int PortChooser::selectedPortType() const {
    const int row = m_list->currentRow();
    return row >= 0 && row <= kSerialPorts ? row : StoredPortType();
}

void PortChooser::accept() {
    const int row = m_list->currentRow();
    label_settings::LabelTarget target = m_stored;
    if (row == kQueueRow) {
        target.kind = label_settings::kKindQueue;
        target.queue = m_queue->currentText().trimmed();
        if (target.queue.isEmpty()) {
            ShowInfoMsg(QStringLiteral("대기열 이름을 입력하세요."));
            return;
        }
    } else if (row == kNetworkRow) {
        target.kind = label_settings::kKindNetwork;
        target.host = m_host->text().trimmed();
        target.netPort = m_netPort->value();
        if (target.host.isEmpty()) {
            ShowInfoMsg(QStringLiteral("프린터 주소를 입력하세요."));
            return;
        }
    } else {
        target.kind.clear();
        target.portType = short(selectedPortType());
    }
    label_settings::Store(target);
    // A typed device file becomes the port's own; the system's (or nothing) removes it.
    for (auto typed = m_typedPaths.cbegin(); typed != m_typedPaths.cend(); ++typed)
        label_settings::StoreDevicePath(port_devices::PortName(typed.key()), typed.value());
    QDialog::accept();
}
