#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QFile;
class QSerialPort;

// The port a thermal label printer hangs on: the parallel port "LPT1" or a serial port "COM1" ... The
// names are the printer's settings as users know them; each maps to a device file of this machine:
//   LPT1 -> /dev/usb/lp0 when it exists (label printers mostly come as USB printer-class devices),
//           otherwise /dev/lp0;
//   COMn -> /dev/ttyS(n-1).
// A user overrides a mapping in the settings store: application "테사르공통", section "바코드프린터",
// key = the port name ("LPT1", "COM3"), value = the device path (e.g. /dev/ttyUSB0).
//
// The parallel port is written as a file; a serial port runs at 9600 bit/s, 8 data bits, no parity, one
// stop bit and no handshaking.
namespace label_port {

inline const QString kSettingsApp = QStringLiteral("테사르공통");
inline const QString kSettingsSection = QStringLiteral("바코드프린터");
// The label port chosen, as a port type (0 the parallel port, n port COMn), in the same section.
inline const QString kPortTypeKey = QStringLiteral("PORTTYPE");

// "LPT1" for port type 0, "COMn" for port type n.
QString PortName(int portType);
// The device file of a port name, the user's override first. Empty for a name that is no port.
QString DevicePath(const QString& portName);
// The built-in mapping, without the override.
QString DefaultDevicePath(const QString& portName);
bool IsParallel(const QString& portName);

// How an opening or a write failed: the platform's error number of the kind (53 no such device, 70 no
// permission, 75 any other access fault, 57 a write that failed) and a description naming the device.
struct Failure {
    long number = 0;
    QString description;
};

// One open port. Not copyable; closes itself when destroyed.
class Port {
public:
    Port();
    ~Port();
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // Opens the port by name. False with lastFailure() set when the device is missing, busy or refused.
    bool open(const QString& portName);
    bool isOpen() const;
    // Writes every byte or fails: a write that stalls longer than `stallMs` (no byte taken) or that the
    // device refuses fails with lastFailure() set. The bytes are in the device's hands when it returns.
    bool write(const QByteArray& bytes, int stallMs = 10000);
    void close();

    QString portName() const { return m_portName; }
    QString devicePath() const { return m_devicePath; }
    const Failure& lastFailure() const { return m_failure; }

private:
    bool openParallel();
    bool openSerial();
    bool writeParallel(const QByteArray& bytes, int stallMs);
    bool fail(long number, const QString& reason);

    QString m_portName;
    QString m_devicePath;
    int m_fd = -1;                  // the parallel port on Unix
    std::unique_ptr<QFile> m_file;  // the parallel port elsewhere
    std::unique_ptr<QSerialPort> m_serial;
    Failure m_failure;
};

}  // namespace label_port
