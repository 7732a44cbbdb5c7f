// The code page 949 codec: what the database and the label printer receive and give back.
#include "platform/cp949.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(Cp949, EncodesAndDecodesByteExact) {
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("abc 123"), QByteArray("abc 123")},
        {QStringLiteral("가"), QByteArray("\xB0\xA1")},
        {QStringLiteral("똠"), QByteArray("\x8C\x63")},  // an extended syllable, absent from plain EUC-KR
        {QStringLiteral("A-1 사과 똠얌"), QByteArray("A-1 \xBB\xE7\xB0\xFA \x8C\x63\xBE\xE4")},
        {QString(), QByteArray()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cp949::encode(c.text), c.bytes) << c.text.toStdString();
        EXPECT_EQ(cp949::decode(c.bytes), c.text) << c.text.toStdString();
    }
}

TEST(Cp949, DecodesEverySyllableLikeTheEncoderWrites) {
    // All 11,172 modern Hangul syllables exist in code page 949 and must survive a round trip.
    QString all;
    for (char16_t c = 0xAC00; c <= 0xD7A3; ++c) all.append(QChar(c));
    const QByteArray bytes = cp949::encode(all);
    EXPECT_EQ(bytes.size(), all.size() * 2);
    EXPECT_EQ(cp949::decode(bytes), all);
}

TEST(Cp949, FaultyInputIsReplacedNotDropped) {
    // A character outside the code page becomes "?"; a broken byte sequence becomes U+FFFD, and what
    // follows it still decodes.
    EXPECT_EQ(cp949::encode(QStringLiteral("a😀bő")), QByteArray("a?b?"));
    EXPECT_EQ(cp949::encode(QString::fromUtf16(u"\xD83D가\xDE00x")), QByteArray("?\xB0\xA1?x"));  // unpaired
    EXPECT_EQ(cp949::decode(QByteArray("\xB0")), QStringLiteral("\uFFFD"));
    EXPECT_EQ(cp949::decode(QByteArray("x\x80y\xB0\xA1")), QStringLiteral("x\uFFFDy가"));
    // An invalid pair costs its first byte only: the second is read again on its own.
    EXPECT_EQ(cp949::decode(QByteArray("\xC7\x41z")), QStringLiteral("\uFFFDAz"));
    EXPECT_EQ(cp949::decode(QByteArray(">\xA2\xE8\xFF")),
              QStringLiteral(">\uFFFD\uFFFD\uFFFD"));  // unassigned
    EXPECT_EQ(cp949::decode(QByteArray("\xC9\xA1")),
              QStringLiteral("\uFFFD\uFFFD"));  // user-defined, unmapped
}

// The whole table in one figure: the decoding of every lead byte with every second byte (between a ">"
// and an "A") hashed, as glibc's converter gives it on Linux (the test below compares it pair by pair).
// Windows converts with its own code page 949, and must come out the same.
TEST(Cp949, EveryPairDecodesToTheSameTableOnEverySystem) {
    constexpr std::uint64_t kTableHash = 13344605746488291634ULL;
    std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const char bytes[] = {'>', char(lead), char(trail), 'A'};
            for (const char16_t unit : cp949::decode(bytes, sizeof bytes).toStdU16String()) {
                hash ^= unit;
                hash *= 1099511628211ULL;
            }
        }
    EXPECT_EQ(hash, kTableHash);
}

}  // namespace
