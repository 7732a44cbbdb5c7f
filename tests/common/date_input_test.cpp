// Dates as users type them into a date box.
#include "common/date_input.h"

#include <gtest/gtest.h>

namespace {

TEST(DateInput, TypedTextsAndTheDatesTheyGive) {
    const QDate today(2026, 7, 1);
    struct Case {
        const char* typed;
        QDate expected;  // invalid: refused
    };
    const Case cases[] = {
        {"20261211", QDate(2026, 12, 11)},
        {"2026-12-11", QDate(2026, 12, 11)},
        {"2026.12.11", QDate(2026, 12, 11)},
        {"2026/12/11", QDate(2026, 12, 11)},
        {"2026. 12. 11.", QDate(2026, 12, 11)},  // the way Korean texts write a date
        {"  2026-12-11 ", QDate(2026, 12, 11)},
        {"2027-1-5", QDate(2027, 1, 5)},
        {"20270105", QDate(2027, 1, 5)},
        {"261211", QDate(2026, 12, 11)},
        {"26-12-11", QDate(2026, 12, 11)},
        {"12-11", QDate(2026, 12, 11)},  // this year
        {"12.11", QDate(2026, 12, 11)},
        {"1211", QDate(2026, 12, 11)},
        {"1-5", QDate(2026, 1, 5)},
        {"", QDate()},
        {"   ", QDate()},
        {"abc", QDate()},
        {"20260230", QDate()},  // no 30 February
        {"2026-13-01", QDate()},
        {"0229", QDate()},  // 2026 is no leap year
        {"1399", QDate()},
        {"123", QDate()},
        {"2026-12", QDate()},
        {"2026-12-11-01", QDate()},
        {"12-311", QDate()},
        {"202612111", QDate()},
        {"2026-12-11x", QDate()},
        {"09991211", QDate()},  // before the years a database date holds
        {"2026년 12월 11일", QDate()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDateInput(QString::fromUtf8(c.typed), today), c.expected) << c.typed;

    // "This year" is the year of today.
    EXPECT_EQ(ParseDateInput(QStringLiteral("0229"), QDate(2028, 3, 1)), QDate(2028, 2, 29));
}

}  // namespace

// Stored dates are read by hand; they must read as Qt's strict "yyyy-MM-dd" reads them.
TEST(DateInput, StoredDatesReadAsTheStrictFormatReadsThem) {
    const char* const stored[] = {"2030-05-10",
                                  "2030-05-10 07:30:00",
                                  "2028-02-29",
                                  "2026-02-29",
                                  "2026-13-01",
                                  "2026-00-10",
                                  "2026-12-00",
                                  "0000-01-01",
                                  "2026-1-05",
                                  "2026/12/11",
                                  "2026-12-1",
                                  "20261211",
                                  "",
                                  "12-11",
                                  "abcd-ef-gh",
                                  "2026-12-11x",
                                  "\xef\xbc\x92\x30\x32\x36-12-11"};  // a full-width digit
    for (const char* text : stored) {
        const QString s = QString::fromUtf8(text);
        EXPECT_EQ(StoredDate(s), QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"))) << text;
    }
}
