// The parallel port on Windows: \\.\LPTn written as a file, each block followed by CR LF.
#include "labels/label_sink_kinds.h"
#include "labels/port_file_sink_win.h"

namespace labels {

std::unique_ptr<LabelSink> MakeDeviceFileSink(const label_settings::LabelTarget& target) {
    return std::make_unique<PortFileSink>(target, false, true);
}

}  // namespace labels
