// Byte-width text, number formats, dates from the server's clock and the local one, branch names.
#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "db/server_time.h"
#include "platform/app_error.h"
#include "support/qt_printers.h"
#include "support/test_db.h"

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

namespace {

TEST(TextHelpers, ByteWidthCuts) {
    const QString gana = QStringLiteral("가나다");
    EXPECT_EQ(LenByte(QStringLiteral("가A")), 3);
    EXPECT_EQ(LenByte(QStringLiteral("똠")), 2);
    EXPECT_EQ(LenByte(QString(QChar(0x03B1))), 2);  // α: a double-byte character of the code page
    EXPECT_EQ(LenByte(QString(QChar(0x0E01))), 1);  // Thai: outside the code page, one "?"

    const struct {
        QString text;
        int n;
        bool noPad;
        QString left;
    } lefts[] = {
        {gana, 3, false, QStringLiteral("가 ")},
        {gana, 3, true, QStringLiteral("가")},
        {QStringLiteral("AB가"), 3, false, QStringLiteral("AB ")},
        {QStringLiteral("AB가"), 4, false, QStringLiteral("AB가")},
        {gana, 1, false, QStringLiteral(" ")},
        {gana, 1, true, QString()},
        {gana, 0, false, QString()},
        {gana, 10, false, gana},
        {QString(), 5, false, QString()},
    };
    for (const auto& c : lefts)
        EXPECT_EQ(LeftByte(c.text, c.n, c.noPad), c.left) << c.text.toStdString() << " " << c.n;

    EXPECT_EQ(RightByte(gana, 3), QStringLiteral("다"));
    EXPECT_EQ(RightByte(gana, 4), QStringLiteral("나다"));
    EXPECT_EQ(RightByte(QStringLiteral("가AB"), 3), QStringLiteral("AB"));

    const struct {
        int start, n;
        QString mid;
    } mids[] = {{3, 2, QStringLiteral("나")},
                {4, 2, QStringLiteral("나")},
                {7, 2, QString()},
                {1, 0, gana},
                {2, 0, gana},
                {5, 0, QStringLiteral("다")},
                {3, 3, QStringLiteral("나")}};
    for (const auto& c : mids) EXPECT_EQ(MidByte(gana, c.start, c.n), c.mid) << c.start << " " << c.n;
}

TEST(TextHelpers, SplitByteFillsUnpaddedLines) {
    QStringList lines;
    EXPECT_EQ(SplitByte(QStringLiteral("가나다라"), 4, lines), 2);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("가나"), QStringLiteral("다라")}));
    EXPECT_EQ(SplitByte(QStringLiteral("가나다라"), 5, lines), 2);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("가나"), QStringLiteral("다라")}));
    EXPECT_EQ(SplitByte(QStringLiteral("AB가CD"), 3, lines), 3);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("AB"), QStringLiteral("가C"), QStringLiteral("D")}));
    EXPECT_EQ(SplitByte(QString(), 4, lines), 1);
    EXPECT_EQ(lines, QStringList{QString()});
    // Too narrow for a double-byte character: each still gets a line instead of looping for ever.
    EXPECT_EQ(SplitByte(QStringLiteral("가나"), 1, lines), 2);
}

TEST(TextHelpers, NumberFormats) {
    EXPECT_EQ(GetDecFormat(2, true, false), QStringLiteral("#,##0.00"));
    EXPECT_EQ(GetDecFormat(0, true, true), QStringLiteral("#,##0"));
    EXPECT_EQ(GetDecFormat(0, true, false), QStringLiteral("#,###"));
    EXPECT_EQ(GetDecFormat(1, true, false), QStringLiteral("#,##0.0"));
    EXPECT_EQ(GetDecFormat(0, false, false), QStringLiteral("#"));

    const struct {
        double number;
        int decimals;
        bool thousands, zero;
        QString text;
    } cases[] = {
        {1234, 1, true, true, QStringLiteral("1,234")},
        {1234.5, 1, true, true, QStringLiteral("1,234.5")},
        {0, 1, true, true, QStringLiteral("0")},
        {0, 1, true, false, QString()},
        {1234567.26, 1, true, true, QStringLiteral("1,234,567.3")},
        {0.5, 2, true, false, QStringLiteral("0.50")},
        {-1234.5, 1, true, true, QStringLiteral("-1,234.5")},
        {1234.5, 1, false, true, QStringLiteral("1234.5")},
        {999, 0, true, false, QStringLiteral("999")},
        {12.345, 0, true, true, QStringLiteral("12")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatAmount(c.number, c.decimals, c.thousands, c.zero), c.text) << c.number;
    EXPECT_EQ(FormatByPattern(0, QStringLiteral("#,###")), QString());
}

// Codes, quantities, counts and flags are all read from texts this one way.
TEST(TextHelpers, LeadingNumber) {
    const std::pair<const char16_t*, double> cases[] = {
        {u"", 0},     {u"abc", 0},     {u"0", 0},       {u"12", 12},
        {u" 8", 8},   {u"\t 8", 8},    {u"+7", 7},      {u"-3.5kg", -3.5},
        {u"- 4", 0},  {u"-", 0},       {u".5", 0.5},    {u"5.", 5},
        {u".", 0},    {u"1.2.3", 1.2}, {u"20.00", 20},  {u"1e3", 1},
        {u"2E-1", 2}, {u"35KG", 35},   {u"35킬로", 35}, {u"10 x", 10},
        {u"１２", 0}, {u"1２", 1},     {u"가12", 0},    {u"12 34", 12},
        {u"007", 7},  {u"1,200", 1},   {u"\n5", 0},     {u"99999999999", 99999999999.0},
    };
    for (const auto& [text, value] : cases) {
        const QString t = QString::fromUtf16(text);
        EXPECT_DOUBLE_EQ(LeadingNumber(t), value) << t.toStdString();
    }
}

TEST(TextHelpers, DatesAndBranches) {
    EXPECT_EQ(AddDaysText(-1, QStringLiteral("2025-03-01")), QStringLiteral("2025-02-28"));
    EXPECT_EQ(AddDaysText(1, QStringLiteral("2024-12-31")), QStringLiteral("2025-01-01"));
    EXPECT_EQ(AddDaysText(1), QDate::currentDate().addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    try {
        AddDaysText(1, QStringLiteral("내일"));
        ADD_FAILURE() << "a text that is no date must fail";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 13);
    }
    const QStringList names = {QStringLiteral("선발"), QStringLiteral("리드"), QStringLiteral("추가"),
                               QStringLiteral("재고"), QString()};
    for (int code = 0; code < 5; ++code) EXPECT_EQ(BranchName(code), names.at(code));
    EXPECT_EQ(BranchName(-1), QString());
}

TEST(TextHelpers, NowTextFromTheServerClock) {
    ASSERT_TRUE(testdb::openSession());
    // Shift the session's clock so that the server's time cannot be mistaken for the local one.
    DBExecute(QStringLiteral("SET timestamp = UNIX_TIMESTAMP('2025-03-14 09:30:05')"));
    EXPECT_EQ(GetNowText(true, 0), QStringLiteral("20250314 093005"));
    EXPECT_EQ(GetNowText(true, 1), QStringLiteral("2025-03-14"));
    EXPECT_EQ(GetNowText(true, 2), QStringLiteral("09:30"));
    EXPECT_EQ(GetNowText(true, 3), QStringLiteral("2025-03-14 09:30:05"));
    EXPECT_EQ(GetNowText(true, 4), QString());
    DBClose();
    EXPECT_EQ(GetNowText(false, 1), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

}  // namespace
