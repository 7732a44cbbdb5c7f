// A serial port on Windows: \\.\COMn through the system's communications functions, 9600 bit/s, 8 data
// bits, no parity, one stop bit, no handshaking.
#include "labels/label_sink_kinds.h"
#include "labels/port_file_sink_win.h"

namespace labels {

std::unique_ptr<LabelSink> MakeSerialSink(const label_settings::LabelTarget& target) {
    return std::make_unique<PortFileSink>(target, true, false);
}

}  // namespace labels
