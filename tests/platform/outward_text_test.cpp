// Texts handed to other systems (desktop notices, print job names): no control characters, bounded, never
// cut inside a character.
#include "platform/outward_text.h"

#include <gtest/gtest.h>

namespace {

TEST(OutwardText, ControlCharactersAndLengthsAreMadeSafe) {
    EXPECT_EQ(outward_text::controlsAsBlanks(QStringLiteral("라벤\n청과\t\x01끝")),
              QStringLiteral("라벤 청과  끝"));
    EXPECT_EQ(outward_text::withoutControls(QStringLiteral("라벤\r\n청과\x07!")),
              QStringLiteral("라벤  청과!"));

    const QString emoji = QString::fromUtf8("\xF0\x9F\x8D\x8E");  // four octets, two UTF-16 units
    const struct {
        QString text;
        int bytes;
        QString expected;
    } cuts[] = {
        {QString(560, QChar(0xB2E4)), 255, QString(85, QChar(0xB2E4))},  // 다: three octets each
        {QStringLiteral("ab") + QString(3, QChar(0xB2E4)), 6, QStringLiteral("ab") + QChar(0xB2E4)},
        {QStringLiteral("abc") + emoji, 6, QStringLiteral("abc")},
        {QStringLiteral("abc") + emoji, 7, QStringLiteral("abc") + emoji},
        {QStringLiteral("short"), 255, QStringLiteral("short")},
    };
    for (const auto& c : cuts) {
        const QString cut = outward_text::cutToUtf8(c.text, c.bytes);
        EXPECT_EQ(cut, c.expected) << c.bytes;
        EXPECT_LE(cut.toUtf8().size(), c.bytes);
    }

    const QString name = QString(382, QChar(0xAC00));
    const QString notice = outward_text::noticeText(QStringLiteral("새 발주:\n") + name);
    EXPECT_EQ(notice.size(), outward_text::kNoticeCharacters);
    EXPECT_TRUE(notice.startsWith(QStringLiteral("새 발주: 가")));
    EXPECT_TRUE(notice.endsWith(QChar(0x2026)));
    EXPECT_EQ(outward_text::noticeText(QStringLiteral("짧은 알림")), QStringLiteral("짧은 알림"));
    // An ellipsis never leaves half of a pair of surrogates before it.
    const QString pairs = QString(98, u'a') + emoji + emoji;
    EXPECT_EQ(outward_text::elided(pairs, 100), QString(98, u'a') + QChar(0x2026));
}

}  // namespace
