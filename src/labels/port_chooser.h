#pragma once

#include <QDialog>

class QListWidget;

// The label port choice "라벨 프린터 포트": the parallel/USB port or COM1 to COM9, each with the device
// file it maps to and whether that device exists. OK stores the choice as the port type (PORTTYPE: 0 the
// parallel port, n COMn) that the next print run opens.
class PortChooser : public QDialog {
    Q_OBJECT

public:
    static constexpr int kSerialPorts = 9;

    explicit PortChooser(QWidget* parent = nullptr);

    // The stored port type (1 when none or unreadable).
    static int StoredPortType();
    static void StorePortType(int portType);

    QListWidget* list() const { return m_list; }
    // The port type of the selected entry.
    int selectedPortType() const;

    void accept() override;

private:
    QListWidget* m_list = nullptr;
};
