#include "db/sql_text.h"

#include <gtest/gtest.h>

#include <limits>

// The numbers the statements carry are codes: whole numbers read back exactly. Fractions and the largest
// values come out as plain decimals, which both the server and a reader of the statement log read as is.
TEST(SqlTextTest, NumbersAsPlainDecimals) {
    const struct {
        double number;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-7, "-7"},
        {123456789, "123456789"},
        {8999999999999999.0, "8999999999999999"},
        {1e16, "10000000000000000"},
        {2.5, "2.5"},
        {-0.125, "-0.125"},
        {0.1, "0.1"},
        {1.0000000001, "1.0000000001"},
        {1e-11, "0"},
        {-1e-11, "0"},
        {12.5e3, "12500"},
    };
    for (const auto& c : cases) EXPECT_EQ(SqlNumber(c.number), QString::fromLatin1(c.text)) << c.number;
}

// A value that is no number must not become something the server reads as one.
TEST(SqlTextTest, NoNumberStaysUnreadable) {
    EXPECT_FALSE(SqlNumber(std::numeric_limits<double>::quiet_NaN()).front().isDigit());
    EXPECT_FALSE(SqlNumber(std::numeric_limits<double>::infinity()).front().isDigit());
}

TEST(SqlTextTest, QuotedTextsStayInsideTheirQuotes) {
    EXPECT_EQ(SqlQuoted(QStringLiteral("2030-05-10")), QStringLiteral("'2030-05-10'"));
    EXPECT_EQ(SqlQuoted(QStringLiteral("x' OR '1'='1")), QStringLiteral("'x'' OR ''1''=''1'"));
    EXPECT_EQ(SqlQuoted(QString()), QStringLiteral("''"));
}
