// The launcher's hand-over: the settings value "MainPathParam" as any text, decoded as the start does
// (base64, then the hexadecimal UTF-16 form); and the base64 codec's round trip.
#include "common/codecs.h"
#include "quiet_dialogs.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietDialogs::install();
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    // What the start-up does with the value; any text must decode to something, or to nothing.
    (void)DecodeUniCode(DecodeStr(text));
    (void)DecodeUniCode(text);
    // Every byte string survives base64 both ways.
    if (DecodeStr(EncodeStr(text)) != text) std::abort();
    // Every text survives the hexadecimal form's encoder, and its decoder reads any output of it.
    const QString utf16 = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString hex = EncodeUniCode(utf16);
    if (hex.size() != utf16.size() * 4) std::abort();
    (void)DecodeUniCode(hex);
    return 0;
}
