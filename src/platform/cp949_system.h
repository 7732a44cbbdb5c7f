#pragma once

#include <QByteArray>
#include <QStringView>

// What the code page 949 codec takes from the operating system's own converter: glibc's iconv on Linux
// (cp949_unix.cpp), the system's code page 949 on Windows (cp949_win.cpp). Both give the same results:
// the codec's tests run on both.
namespace cp949_system {

// Unicode text (not all ASCII) to code page 949 bytes; one "?" for each character the code page lacks (a
// surrogate pair is one character, an unpaired surrogate one on its own).
QByteArray encode(QStringView text);

// Decodes double-byte codes one by one, for the codec's table.
class PairDecoder {
public:
    PairDecoder();
    ~PairDecoder();
    PairDecoder(const PairDecoder&) = delete;
    PairDecoder& operator=(const PairDecoder&) = delete;

    // The character of a lead and trail byte, or U+FFFD when the code page does not define the pair.
    char16_t decode(unsigned char lead, unsigned char trail);

private:
    void* m_state = nullptr;
};

}  // namespace cp949_system
