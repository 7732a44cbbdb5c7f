// The base64 and hex codecs that carry the launcher hand-over and the stored passwords.
#include "common/codecs.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace {

TEST(Codecs, Base64KnownTextsAndBack) {
    const struct {
        QString plain, encoded;
    } cases[] = {
        {QStringLiteral("abc"), QStringLiteral("YWJj")},
        {QStringLiteral("ab"), QStringLiteral("YWI=")},
        {QStringLiteral("a"), QStringLiteral("YQ==")},
        {QString(), QString()},
        {QStringLiteral("006100620063"), QStringLiteral("MDA2MTAwNjIwMDYz")},
        {QString::fromLatin1("\xff\x80 x"), QStringLiteral("/4AgeA==")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeStr(c.plain), c.encoded);
        EXPECT_EQ(DecodeStr(c.encoded), c.plain);
    }
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST(Codecs, DecodeStrReadsPaddingWhereItStandsAndIgnoresAShortTail) {
    // A padded group in the middle joins the next piece; a trailing group of fewer than four is dropped.
    EXPECT_EQ(DecodeStr(QStringLiteral("YQ==YQ==")), QStringLiteral("aa"));
    EXPECT_EQ(DecodeStr(QStringLiteral("YWI=YWJj")), QStringLiteral("ababc"));
    EXPECT_EQ(DecodeStr(QStringLiteral("YWJjYQ")), QStringLiteral("abc"));
    EXPECT_EQ(DecodeStr(QStringLiteral("YWJjY")), QStringLiteral("abc"));
}

TEST(Codecs, FailuresShowTheProcedureReportAndGiveEmpty) {
    const struct {
        QString input;
        bool encode;
        QString report;
    } cases[] = {
        {QStringLiteral("가나"), true, QStringLiteral("Error 6 (Overflow) in procedure EncodeStr")},
        {QStringLiteral("YWJj\r\nYWJj"), false, QStringLiteral("Error 6 (Overflow) in procedure DecodeStr")},
        {QStringLiteral("YW Jj"), false, QStringLiteral("Error 6 (Overflow) in procedure DecodeStr")},
        {QStringLiteral("YWJ`"), false, QStringLiteral("Error 6 (Overflow) in procedure DecodeStr")},
        // Even in a tail that would give nothing, a foreign character fails the call.
        {QStringLiteral("YWJjY!"), false, QStringLiteral("Error 6 (Overflow) in procedure DecodeStr")},
        {QStringLiteral("=WJj"), false, QStringLiteral("Error 6 (Overflow) in procedure DecodeStr")},
    };
    for (const auto& c : cases) {
        testDialogs().answer(Dialogs::ResultOk);
        EXPECT_EQ(c.encode ? EncodeStr(c.input) : DecodeStr(c.input), QString()) << c.input.toStdString();
        EXPECT_EQ(testDialogs().last().text, c.report);
        EXPECT_EQ(testDialogs().last().title, QStringLiteral("펠로라푸드주문서"));
        EXPECT_EQ(testDialogs().last().buttons, Dialogs::Buttons::Ok);
        EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::None);
    }
}

TEST(Codecs, HexFormKeepsItsMixedByteOrder) {
    const struct {
        QString plain, hex;
    } cases[] = {
        {QStringLiteral("abc"), QStringLiteral("006100620063")},
        {QString(QChar(0xAC00)), QStringLiteral("00AC")},
        {QString(QChar(0xAC01)), QStringLiteral("01AC")},
        {QStringLiteral("\n"), QStringLiteral("0A00")},
        {QStringLiteral("\r\n"), QStringLiteral("0D000A00")},
        {QString(QChar(0x0123)), QStringLiteral("2301")},
        {QStringLiteral("똠;XVRTK36"), QStringLiteral("20B6003B0058005600520054004B00330036")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeUniCode(c.plain), c.hex) << c.plain.toStdString();
        EXPECT_EQ(DecodeUniCode(c.hex), c.plain) << c.hex.toStdString();
    }
}

TEST(Codecs, DecodeUniCodeReadsGroupsBeginningWith00ByTheAcceptedSet) {
    EXPECT_EQ(DecodeUniCode(QStringLiteral("4100")), QStringLiteral("A"));
    EXPECT_EQ(DecodeUniCode(QStringLiteral("0041")), QStringLiteral("A"));
    EXPECT_EQ(DecodeUniCode(QStringLiteral("0D0A")), QStringLiteral("\r\n"));
    EXPECT_EQ(DecodeUniCode(QStringLiteral("0060")), QString(QChar(0x6000)));  // the backtick is not accepted
    EXPECT_EQ(DecodeUniCode(QStringLiteral("0027")), QStringLiteral("'"));
    EXPECT_EQ(DecodeUniCode(QStringLiteral("0020")), QStringLiteral(" "));
    EXPECT_EQ(DecodeUniCode(QStringLiteral("00ac")), QString(QChar(0xAC00)));  // lower-case digits read too
    EXPECT_EQ(DecodeUniCode(QStringLiteral("4G00")),
              QString(QChar(0x0004)));  // digits up to the first bad one
}

TEST(Codecs, LauncherParameterRoundTrip) {
    const QString plain = QStringLiteral("XVRTK36;10.0.0.5;pelora;pelora_order;김철수;0;0;Y");
    const QString stored = EncodeStr(EncodeUniCode(plain));
    EXPECT_FALSE(stored.isEmpty());
    EXPECT_EQ(DecodeUniCode(DecodeStr(stored)), plain);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

}  // namespace
