// The code page 949 decoder against glibc's converter, pair by pair (Linux, where glibc converts).
#include "platform/cp949.h"
#include "support/cp949_reference.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp949, EveryPairDecodesLikeGlibcRecoveringByteByByte) {
    // Every lead byte with every second byte, between a ">" and an "A", as glibc's converter reads it when
    // each refused sequence costs one byte.
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const std::string bytes{'>', char(lead), char(trail), 'A'};
            const std::u32string expected = referenceCp949Decode(bytes);
            const QString got = cp949::decode(bytes.data(), bytes.size());
            ASSERT_EQ(got.toStdU32String(), expected) << std::hex << lead << " " << trail;
        }
}

// ASCII is widened in blocks of 16 and 8 bytes: a character, a broken byte or a NUL at any place of a
// run, near either end of a block, must come out as the byte-by-byte reading gives it. A field ends at
// its NUL and drops its trailing blanks.
TEST(Cp949, AsciiRunsBreakWhereTheByteByByteReadingDoes) {
    const std::string marks[] = {std::string("\xB0\xA1"), std::string("\x8C\x63"), std::string("\xB0"),
                                 std::string("\x80"),     std::string("\xC7\x41"), std::string(1, '\0'),
                                 std::string("  "),       std::string("\xB0 ")};
    for (const std::string& mark : marks)
        for (std::size_t length = 0; length <= 40; ++length)
            for (std::size_t at = 0; at <= length; ++at) {
                std::string bytes;
                for (std::size_t i = 0; i < length; ++i) bytes += char('a' + i % 26);
                bytes.insert(at, mark);
                const std::u32string expected = referenceCp949Decode(bytes);
                ASSERT_EQ(cp949::decode(bytes.data(), bytes.size()).toStdU32String(), expected)
                    << length << " " << at;
                std::u16string units(bytes.size(), u'#');
                units.resize(cp949::decodeFieldInto(bytes.data(), bytes.size(), units.data()));
                std::string cString = bytes.substr(0, bytes.find('\0'));
                while (!cString.empty() && cString.back() == ' ') cString.pop_back();
                ASSERT_EQ(QString::fromStdU16String(units).toStdU32String(), referenceCp949Decode(cString))
                    << length << " " << at;
            }
}

}  // namespace
