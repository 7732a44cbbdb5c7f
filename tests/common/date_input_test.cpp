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
