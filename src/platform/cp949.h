#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstddef>

// Code page 949 (Korean ANSI, Unified Hangul Code): the encoding of every text in the order database, of
// the label printer's commands and of byte widths. The operating system's own converter is used (glibc's
// "CP949" on Linux, code page 949 on Windows), not Qt's codec of that name: that one is IBM-949 and gets
// syllables such as 똠 wrong.
namespace cp949 {

// Unicode text to code page 949 bytes. A character the code page lacks becomes "?".
QByteArray encode(QStringView text);

// Code page 949 bytes to Unicode text. An invalid byte sequence becomes U+FFFD and decoding goes on.
QString decode(const char* bytes, std::size_t length);
inline QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}

// Decodes into `out`, which must have room for `length` code units (never more units than bytes);
// returns the number of units written. For bulk readers that keep many texts in one buffer.
std::size_t decodeInto(const char* bytes, std::size_t length, char16_t* out);

}  // namespace cp949
