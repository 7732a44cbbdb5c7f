#pragma once

#include "labels/label_settings.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A label printer connection: the command blocks of a print run go in through write(), between open() and
// finish(). Each kind of connection (the parallel port's device file, a serial port, a network printer, a
// print queue) is a file of its own; MakeLabelSink picks one from the stored target.
namespace labels {

// How an opening or a write failed: the error number (53 no such device, 70 no permission, 75 any other
// access fault, 57 a write that failed, 13 a port type that is no number) and a description that names the
// connection. `cancelled`: the user ended the wait; nothing needs to be reported.
struct SinkFailure {
    long number = 0;
    QString description;
    bool cancelled = false;
};

constexpr long kNoDevice = 53;       // "File not found"
constexpr long kNoPermission = 70;   // "Permission denied"
constexpr long kAccessFault = 75;    // "Path/File access error"
constexpr long kDeviceIoFault = 57;  // "Device I/O error"
constexpr long kTypeMismatch = 13;   // "Type mismatch"

class LabelSink {
public:
    LabelSink() = default;
    virtual ~LabelSink() = default;
    LabelSink(const LabelSink&) = delete;
    LabelSink& operator=(const LabelSink&) = delete;

    // Opens the connection. False with failure() set when the printer cannot be reached.
    virtual bool open() = 0;
    // Sends one block (CP949 bytes) and returns once the bytes have left this machine, as far as the system
    // can tell: taken by the device's reader, sent down the serial line, acknowledged by the network
    // printer, received by the print service. False with failure() set when they did not within the time
    // limit, or the connection refused them.
    virtual bool write(const QByteArray& block) = 0;
    // Ends the run and closes the connection. A connection that prints only on finish hands its whole job
    // over here; false with failure() set when that was refused.
    virtual bool finish() = 0;
    // Ends a run whose write failed and closes the connection: what was not printed yet is withdrawn where
    // the connection can.
    virtual void abort() { finish(); }
    // True when nothing is printed before finish() succeeded (a job of a print queue).
    virtual bool printsOnlyOnFinish() const { return false; }
    // After open() failed: the clerk's line of it, which printer or port could not be reached and what to
    // check; empty where the connection has nothing to add.
    virtual QString openAdvice() const { return QString(); }

    const SinkFailure& failure() const { return m_failure; }

protected:
    // Sets the failure, its description prefixed with where(); returns false.
    bool fail(long number, const QString& reason);
    bool cancelled();
    // How failures name the connection, e.g. "라벨 프린터 포트 COM1 (/dev/ttyS0)".
    QString m_where;
    SinkFailure m_failure;
};

// The clerk's first line when a port (LPT1, COMn) cannot be opened: which port, and what to check; `group`
// names the system group that grants the port when the failure was a refused permission.
QString PortOpenAdvice(const QString& portName, const QString& path, long failure, const QString& group);

// The connection of the stored target (see label_settings). Never null; a target that names no usable
// connection gives one whose open() fails and says why.
std::unique_ptr<LabelSink> MakeLabelSink(const label_settings::LabelTarget& target);

}  // namespace labels
