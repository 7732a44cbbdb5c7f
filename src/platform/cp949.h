#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>

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
// A text field as the database client hands it over: the bytes up to the first NUL (where a C string
// ends), decoded, without the trailing blanks. The same room in `out`; returns the units of the text.
std::size_t decodeFieldInto(const char* bytes, std::size_t length, char16_t* out);
// The fields of a row (`count` of them, a null pointer for a null field, which stays empty), each decoded
// as decodeFieldInto does, one after the other from `out` on; `ends` receives where each one ends, in
// units from `out` plus `offset`. `out` needs room for the sum of the lengths. Returns the units written.
std::size_t decodeFieldsInto(const char* const* fields, const unsigned long* lengths, std::size_t count,
                             char16_t* out, std::uint32_t* ends, std::size_t offset);

}  // namespace cp949
