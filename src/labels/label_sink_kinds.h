#pragma once

// The makers of the label printer connections, one per kind, each defined in its own file (a file of one
// system ends in _unix or _win). The factory (label_sink.cpp) includes this header; a new kind is a file
// with its maker, declared here, and a line in the factory's table.
#include "labels/label_sink.h"

namespace labels {

// The parallel port: its device file, written as a file; each block is followed by CR LF.
std::unique_ptr<LabelSink> MakeDeviceFileSink(const label_settings::LabelTarget& target);
// A serial port, 9600 bit/s, 8 data bits, no parity, one stop bit, no handshaking.
std::unique_ptr<LabelSink> MakeSerialSink(const label_settings::LabelTarget& target);
// A network printer's raw TCP port.
std::unique_ptr<LabelSink> MakeNetworkSink(const label_settings::LabelTarget& target);
// A raw job on a print queue of the system's print service, printed when the run finishes.
std::unique_ptr<LabelSink> MakeQueueSink(const label_settings::LabelTarget& target);

}  // namespace labels
