// The label printer's commands made from any database texts: every block has exactly one PRINT line,
// no line carries a byte below 0x20 (or 0x7F) but its own line end, and the printer's stand-in (the
// preview's interpreter) reads exactly one label.
#include "labels/label_commands.h"
#include "labels/label_preview.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Any UTF-16 text, as the connection's codec may hand it over, split over the product and the remark.
    const QString any = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2));
    label_commands::LabelTexts texts;
    texts[label_commands::ProductName] = any.left(any.size() / 2);
    texts[label_commands::Remarks] = any.mid(any.size() / 2);
    const QByteArray bytes = label_commands::Encode(label_commands::LabelBlock(texts));

    int prints = 0;
    for (QByteArray line : bytes.split('\n')) {
        if (line.isEmpty()) continue;
        if (!line.endsWith('\r')) std::abort();  // every line ends in CR LF
        line.chop(1);
        for (char byte : line)
            if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F) std::abort();
        if (line.startsWith("PRINT ")) ++prints;
    }
    if (prints != 1) std::abort();
    if (label_preview::Interpret(bytes).size() != 1) std::abort();
    return 0;
}
