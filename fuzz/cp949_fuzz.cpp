// The code page 949 codec: any bytes decode as glibc's converter reads them (a refused sequence costs one
// byte), and text that decoded cleanly encodes back to the same bytes.
#include "platform/cp949.h"
#include "support/cp949_reference.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const QString text = cp949::decode(bytes.data(), bytes.size());
    if (text.toStdU32String() != referenceCp949Decode(bytes)) std::abort();
    if (!text.contains(QChar(0xFFFD)) && cp949::encode(text) != QByteArray::fromStdString(bytes))
        std::abort();
    // Any UTF-16 text encodes to something that decodes without error wherever it did not become "?".
    const QString any = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2));
    (void)cp949::decode(cp949::encode(any));
    return 0;
}
