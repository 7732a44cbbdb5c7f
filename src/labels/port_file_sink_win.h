#pragma once

#include "labels/label_sink.h"

// The parallel and serial ports of Windows as the system's files (\\.\LPT1, \\.\COM1): opened for writing,
// each block written whole and flushed, so that it has left the port's driver when write() returns.
namespace labels {

class PortFileSink : public LabelSink {
public:
    // `serial`: 9600 bit/s, 8 data bits, no parity, one stop bit, no handshaking. `lineEnd`: CR LF after
    // every block (the parallel port's printers expect it).
    PortFileSink(const label_settings::LabelTarget& target, bool serial, bool lineEnd);
    ~PortFileSink() override;

    bool open() override;
    bool write(const QByteArray& block) override;
    bool finish() override;

private:
    bool setUpSerial();
    QString stalled() const;
    void close();

    QString m_portName;
    QString m_path;
    int m_stallMs;
    bool m_serial;
    bool m_lineEnd;
    void* m_handle = nullptr;
};

}  // namespace labels
