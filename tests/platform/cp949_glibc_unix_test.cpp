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

}  // namespace
