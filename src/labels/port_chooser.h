#pragma once

#include "labels/label_settings.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QStackedWidget;

// The label port choice "라벨 프린터 포트": the parallel/USB port or COM1 to COM9, each with the device
// file it maps to and whether the program can write to it, a print queue of the print service, or a network
// printer (host and TCP port). The device file of a port can be typed (a USB serial adapter is
// /dev/ttyUSB0). OK stores the choice: a port as the port type (PORTTYPE: 0 the parallel port, n COMn) with
// a typed device as that port's mapping, a queue or a network printer under keys of their own.
class PortChooser : public QDialog {
    Q_OBJECT

public:
    static constexpr int kSerialPorts = 9;
    // The list's rows after the ports.
    static constexpr int kQueueRow = kSerialPorts + 1;
    static constexpr int kNetworkRow = kSerialPorts + 2;

    explicit PortChooser(QWidget* parent = nullptr);

    // The stored port type (1 when none or unreadable).
    static int StoredPortType();

    QListWidget* list() const { return m_list; }
    QLineEdit* devicePath() const { return m_devicePath; }
    QLabel* deviceState() const { return m_deviceState; }
    QComboBox* queueName() const { return m_queue; }
    QLabel* queueNote() const { return m_queueNote; }
    QLineEdit* host() const { return m_host; }
    QSpinBox* netPort() const { return m_netPort; }
    // The port type of the selected entry (the stored one when a queue or network printer is selected).
    int selectedPortType() const;

    void accept() override;

private:
    void showDetails();
    void devicePathEdited(const QString& path);
    void refreshEntry(int row);
    QString pathOf(int portType) const;

    QListWidget* m_list = nullptr;
    QStackedWidget* m_details = nullptr;
    QLineEdit* m_devicePath = nullptr;
    QLabel* m_deviceState = nullptr;
    QComboBox* m_queue = nullptr;
    QLabel* m_queueNote = nullptr;
    QLineEdit* m_host = nullptr;
    QSpinBox* m_netPort = nullptr;
    QHash<int, QString> m_typedPaths;      // port type -> device file typed in this window
    label_settings::LabelTarget m_stored;  // the target as stored when the window opened
};
