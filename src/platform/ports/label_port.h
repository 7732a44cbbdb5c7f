#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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
//
// Beside the ports, a label printer can be reached the ways Linux offices run them: a print queue of the
// system's print service (a USB printer behind a raw queue; the bytes go through unchanged) or a network
// printer's raw TCP port (9100 by default). Those are chosen by their own keys in the same section, so that
// PORTTYPE keeps its meaning and a settings file without them works as before:
//   PORTKIND  = QUEUE or NETWORK (missing or anything else: the port named by PORTTYPE)
//   QUEUENAME = the print queue's name
//   NETHOST   = the network printer's host name or address, NETPORT = its TCP port (default 9100)
//   TIMEOUT   = seconds that connecting or a stalled write may take before the run fails (default 10)
namespace label_port {

inline const QString kSettingsApp = QStringLiteral("테사르공통");
inline const QString kSettingsSection = QStringLiteral("바코드프린터");
// The label port chosen, as a port type (0 the parallel port, n port COMn), in the same section.
inline const QString kPortTypeKey = QStringLiteral("PORTTYPE");
inline const QString kKindKey = QStringLiteral("PORTKIND");
inline const QString kQueueKey = QStringLiteral("QUEUENAME");
inline const QString kHostKey = QStringLiteral("NETHOST");
inline const QString kNetPortKey = QStringLiteral("NETPORT");
inline const QString kTimeoutKey = QStringLiteral("TIMEOUT");
inline const QString kKindQueue = QStringLiteral("QUEUE");
inline const QString kKindNetwork = QStringLiteral("NETWORK");
constexpr int kDefaultNetPort = 9100;
constexpr int kDefaultTimeoutMs = 10000;

enum class Kind { Device, Queue, Network };

// Where the labels go, as this user stored it. For Kind::Device the port comes from PORTTYPE, which the
// label window reads itself (its value is checked there).
struct Target {
    Kind kind = Kind::Device;
    QString queue;
    QString host;
    int netPort = kDefaultNetPort;
};
Target StoredTarget();
// PORTTYPE as the settings hold it ("1" when none is stored), and read as a port type: false when that
// text is no number.
QString StoredPortTypeText();
bool StoredPortType(short* type);
// Stores a queue or network target; Kind::Device removes the kind key, so PORTTYPE decides again.
void StoreTarget(const Target& target);
// The time limit of connecting and of a stalled write, in milliseconds.
int StoredTimeoutMs();
// Where the labels will go, as the clerk reads it: "COM1 (/dev/ttyS0)", "인쇄 대기열 labels",
// "네트워크 192.168.0.31:9100".
QString StoredTargetText();

// The queues of the print service (CUPS_SERVER or the system's scheduler), sorted. Empty with `error` set
// when the service cannot be reached.
QStringList QueueNames(QString* error = nullptr);

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
    // Starts a raw job on a queue of the print service; the job is handed to the printer by close().
    bool openQueue(const QString& queue, int timeoutMs = kDefaultTimeoutMs);
    // Connects to a network printer's raw port, waiting at most `timeoutMs`.
    bool openNetwork(const QString& host, int netPort, int timeoutMs = kDefaultTimeoutMs);
    bool isOpen() const;
    Kind kind() const { return m_kind; }
    // Writes every byte or fails: a write that stalls longer than `stallMs` (no byte taken) or that the
    // device refuses fails with lastFailure() set. The bytes are in the device's hands when it returns: on
    // a network printer, acknowledged by the printer; on a queue, received by the print service.
    bool write(const QByteArray& bytes, int stallMs = kDefaultTimeoutMs);
    // Closes the port. A queue's job is completed and handed to the printer, unless a write failed, in which
    // case the incomplete job is cancelled. False with lastFailure() set when the queue refused the job.
    bool close();

    QString portName() const { return m_portName; }
    QString devicePath() const { return m_devicePath; }
    // The print service's number of the job that close() completed (0 for other ports).
    int jobId() const { return m_jobId; }
    const Failure& lastFailure() const { return m_failure; }

private:
    struct Queue;
    bool openParallel();
    bool openSerial();
    bool writeParallel(const QByteArray& bytes, int stallMs);
    bool writeSerial(const QByteArray& bytes, int stallMs);
    bool writeNetwork(const QByteArray& bytes, int stallMs);
    bool writeQueue(const QByteArray& bytes, int stallMs);
    bool closeQueue();
    bool fail(long number, const QString& reason);

    Kind m_kind = Kind::Device;
    QString m_portName;
    QString m_devicePath;
    QString m_where;                // how the failures name the port
    int m_fd = -1;                  // the parallel port or the network socket on Unix
    std::unique_ptr<QFile> m_file;  // the parallel port elsewhere
    std::unique_ptr<QSerialPort> m_serial;
    std::unique_ptr<Queue> m_queue;
    bool m_broken = false;  // a write failed since the opening
    int m_jobId = 0;
    Failure m_failure;
};

}  // namespace label_port
