// A serial port through Qt's serial port: 9600 bit/s, 8 data bits, no parity, one stop bit, no handshaking.
#include "labels/label_sink_kinds.h"

#include "platform/ports/serial_drain_unix.h"

#include <QSerialPort>

namespace labels {

namespace {

class SerialSink : public LabelSink {
public:
    explicit SerialSink(const label_settings::LabelTarget& target)
        : m_portName(target.portName()),
          m_path(label_settings::DevicePath(m_portName)),
          m_stallMs(target.timeoutMs) {
        m_where = QStringLiteral("라벨 프린터 포트 %1 (%2)")
                      .arg(m_portName, m_path.isEmpty() ? QStringLiteral("-") : m_path);
    }

    QString openAdvice() const override {
        return PortOpenAdvice(m_portName, m_path, m_failure.number,
                              QStringLiteral("직렬 포트(dialout 그룹)"));
    }

    bool open() override {
        if (m_path.isEmpty()) return fail(kNoDevice, QStringLiteral("알 수 없는 포트입니다"));
        m_serial.setPortName(m_path);
        if (!m_serial.open(QIODevice::WriteOnly)) {
            const auto error = m_serial.error();
            const long number = error == QSerialPort::DeviceNotFoundError ? kNoDevice
                                : error == QSerialPort::PermissionError   ? kNoPermission
                                                                          : kAccessFault;
            return fail(number, m_serial.errorString());
        }
        const bool set =
            m_serial.setBaudRate(QSerialPort::Baud9600) && m_serial.setDataBits(QSerialPort::Data8) &&
            m_serial.setParity(QSerialPort::NoParity) && m_serial.setStopBits(QSerialPort::OneStop) &&
            m_serial.setFlowControl(QSerialPort::NoFlowControl);
        if (set) return true;
        const QString reason = m_serial.errorString();
        m_serial.close();
        return fail(kAccessFault, reason);
    }

    bool write(const QByteArray& block) override {
        if (!m_serial.isOpen()) return fail(kDeviceIoFault, QStringLiteral("포트가 열려 있지 않습니다"));
        if (m_serial.write(block) != block.size()) return fail(kDeviceIoFault, m_serial.errorString());
        // Each wait ends as soon as some bytes went out, so a slow line never fails, a dead one does.
        while (m_serial.bytesToWrite() > 0) {
            if (!m_serial.waitForBytesWritten(m_stallMs)) {
                if (m_serial.error() == QSerialPort::TimeoutError || m_serial.error() == QSerialPort::NoError)
                    return fail(kDeviceIoFault, stalled());
                return fail(kDeviceIoFault, m_serial.errorString());
            }
        }
        // Written is not yet sent: the driver's queue and the line go at 9600 bit/s.
        switch (serial_drain::Drain(m_serial.handle(), m_stallMs)) {
            case serial_drain::Result::Drained:
                return true;
            case serial_drain::Result::Stalled:
                return fail(kDeviceIoFault, stalled());
            case serial_drain::Result::Failed:
                break;
        }
        return fail(kDeviceIoFault, QStringLiteral("출력을 끝까지 보내지 못했습니다"));
    }

    bool finish() override {
        m_serial.close();
        return true;
    }

private:
    QString stalled() const {
        return QStringLiteral("%1초 동안 전송되지 않았습니다").arg(m_stallMs / 1000.0);
    }

    QString m_portName;
    QString m_path;
    int m_stallMs;
    QSerialPort m_serial;
};

}  // namespace

std::unique_ptr<LabelSink> MakeSerialSink(const label_settings::LabelTarget& target) {
    return std::make_unique<SerialSink>(target);
}

}  // namespace labels
