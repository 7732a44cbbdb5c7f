#include "labels/port_chooser.h"

#include "platform/ports/label_port.h"
#include "platform/settings_store.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace {

// What the device says when the program opens it for writing, as a print run will: a device that exists
// but refuses the user (not in the lp or dialout group) or answers with an error is no connected printer.
QString deviceState(const QString& device) {
    const int fd =
        ::open(QFile::encodeName(device).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return QStringLiteral("연결됨");
    }
    if (errno == ENOENT) return QStringLiteral("장치 없음");
    if (errno == EACCES || errno == EPERM) return QStringLiteral("권한 없음");
    return QStringLiteral("열 수 없음");
}

QString entryText(int portType) {
    const QString name = label_port::PortName(portType);
    const QString device = label_port::DevicePath(name);
    const QString kind = portType == 0 ? QStringLiteral("병렬/USB") : QStringLiteral("직렬");
    const QString state = deviceState(device);
    return QStringLiteral("%1  (%2)   %3   [%4]").arg(name, kind, device, state);
}

}  // namespace

PortChooser::PortChooser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PortChooser"));
    setWindowTitle(QStringLiteral("라벨 프린터 포트"));
    auto* caption = new QLabel(QStringLiteral("라벨 프린터가 연결된 포트를 고르세요."), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("portList"));
    for (int type = 0; type <= kSerialPorts; ++type) {
        auto* item = new QListWidgetItem(entryText(type), m_list);
        item->setData(Qt::UserRole, type);
    }
    const int stored = StoredPortType();
    m_list->setCurrentRow(stored >= 0 && stored <= kSerialPorts ? stored : 1);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &PortChooser::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PortChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PortChooser::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(460, 320);
}

int PortChooser::StoredPortType() {
    bool ok = false;
    const int type = settings::get(label_port::kSettingsApp, label_port::kSettingsSection,
                                   label_port::kPortTypeKey, QStringLiteral("1"))
                         .trimmed()
                         .toShort(&ok);
    return ok ? type : 1;
}

void PortChooser::StorePortType(int portType) {
    settings::save(label_port::kSettingsApp, label_port::kSettingsSection, label_port::kPortTypeKey,
                   QString::number(portType));
}

int PortChooser::selectedPortType() const {
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : StoredPortType();
}

void PortChooser::accept() {
    StorePortType(selectedPortType());
    QDialog::accept();
}
