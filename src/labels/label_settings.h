#pragma once

#include <QString>

// Where this user's labels go, as the settings store keeps it: application "테사르공통", section
// "바코드프린터". The whole target is read and written here, for the label window, the port window and the
// printer tip alike.
//
//   PORTTYPE  = the port: 0 the parallel port "LPT1", n the serial port COMn (default 1)
//   LPT1, COMn = a user's own device file for that port (e.g. /dev/ttyUSB0), in place of the system's
//   PORTKIND  = QUEUE or NETWORK for the kinds beyond the ports; missing or anything else: the port of
//               PORTTYPE, so that PORTTYPE keeps its meaning and a settings file without these keys works
//   QUEUENAME = the print queue's name
//   NETHOST   = the network printer's host name or address, NETPORT = its TCP port (default 9100)
//   TIMEOUT   = seconds that connecting or a stalled write may take before the run fails (default 10)
namespace label_settings {

inline const QString kSettingsApp = QStringLiteral("테사르공통");
inline const QString kSettingsSection = QStringLiteral("바코드프린터");
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

struct LabelTarget {
    // PORTKIND in capitals; empty for the port of the port type.
    QString kind;
    // PORTTYPE as stored ("1" when none is), and read as a number: false when it is none.
    QString portTypeText = QStringLiteral("1");
    bool portTypeValid = true;
    short portType = 1;
    QString queue;
    QString host;
    int netPort = kDefaultNetPort;
    // The time limit of connecting and of a stalled write, in milliseconds.
    int timeoutMs = kDefaultTimeoutMs;

    // "LPT1" or "COMn" of the port type.
    QString portName() const;
};

LabelTarget Load();
// Stores the choice of the port window: a port as its port type, with the kind key removed so that the
// port type decides again; a queue or a network printer under their own keys, the port type kept.
void Store(const LabelTarget& target);

// The device file of a port name, the user's own first; empty for a name that is no port.
QString DevicePath(const QString& portName);
// Stores a user's device file for a port; an empty path or the system's own removes it.
void StoreDevicePath(const QString& portName, const QString& path);

// Where the labels will go, as the clerk reads it: "COM1 (/dev/ttyS0)", "인쇄 대기열 labels",
// "네트워크 192.168.0.31:9100".
QString TargetText(const LabelTarget& target);

}  // namespace label_settings
