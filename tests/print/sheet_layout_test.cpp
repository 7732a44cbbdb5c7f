// The order sheet's page breaks and the summary's place, laid out from sheet data made in memory: the
// rules of the layout need no server.
#include "print/sheet_layout.h"
#include "print/print_canvas.h"
#include "support/qt_printers.h"
#include "support/sheet_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

SheetData sheetOf(int mode, int lines, int summaryRows) {
    SheetData sheet;
    sheet.mode = mode;
    sheet.buyerName = QStringLiteral("라벤청과");
    sheet.bdate = QStringLiteral("2030-05-10");
    for (int i = 1; i <= lines; ++i)
        sheet.lines.push_back({QStringLiteral("2030-05-10"),
                               QStringLiteral("품목%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("1"),
                               QStringLiteral("kg"), mode, QStringLiteral("한빛초"), QString(),
                               QStringLiteral("1호차")});
    for (int i = 1; i <= summaryRows; ++i)
        sheet.summary.push_back({QStringLiteral("합계%1").arg(i, 3, 10, QLatin1Char('0')),
                                 QStringLiteral("1"), QStringLiteral("kg")});
    sheet.withSummary = summaryRows > 0;
    return sheet;
}

const PrintItem* textOn(const PrintPage& page, const QString& text) {
    for (const PrintItem& item : page.items)
        if (item.kind == PrintItem::Kind::Text && item.text == text) return &item;
    return nullptr;
}

class SheetLayoutTest : public testing::Test {};

// 18 line slots a page; the page line counts the pages the sheet really has.
TEST_F(SheetLayoutTest, LinesBreakEveryEighteenSlots) {
    const struct {
        int lines;
        int pages;
        double lastRule;  // the lowest rule of the last page
    } cases[] = {{1, 1, 55}, {18, 1, 276}, {19, 2, 55}, {36, 2, 276}, {37, 3, 55}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        const PrintDocument doc = RecordSheet(sheetOf(0, c.lines, 0), QString());
        ASSERT_EQ(int(doc.pages.size()), c.pages);
        for (int p = 0; p < c.pages; ++p) {
            const PrintPage& page = doc.pages[std::size_t(p)];
            EXPECT_NE(textOn(page, QStringLiteral("Page.%1/%2 (총%2장)").arg(p + 1).arg(c.pages)), nullptr);
            EXPECT_DOUBLE_EQ(ruleYs(page).back(), p + 1 < c.pages ? 276 : c.lastRule);
            ASSERT_NE(textOn(page, QString::number(18 * p + 1)), nullptr);
            EXPECT_DOUBLE_EQ(textOn(page, QString::number(18 * p + 1))->y1, 47);
        }
    }
}

// The summary follows the lines two slots down (caption, header), or opens a new page when the lines used
// 16 or more slots of their last page; its rows continue on the next page under a fresh header.
TEST_F(SheetLayoutTest, SummaryFollowsTheLinesOrStartsANewPage) {
    const struct {
        int lines;
        int summaryRows;
        int summaryPage;  // 0-based
        double caption;
        int pages;
    } cases[] = {{10, 1, 0, 182, 1}, {10, 6, 0, 182, 1}, {10, 7, 0, 182, 2},
                 {16, 1, 1, 39, 2},  {17, 1, 1, 39, 2},  {18, 1, 1, 39, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lines << " lines, " << c.summaryRows << " summary rows");
        const PrintDocument doc = RecordSheet(sheetOf(1, c.lines, c.summaryRows), QString());
        ASSERT_EQ(int(doc.pages.size()), c.pages);
        const PrintItem* caption = textOn(doc.pages[std::size_t(c.summaryPage)], QStringLiteral("집계표"));
        ASSERT_NE(caption, nullptr);
        EXPECT_DOUBLE_EQ(caption->y1, c.caption);
        const PrintItem* first = textOn(doc.pages[std::size_t(c.summaryPage)], QStringLiteral("합계001"));
        ASSERT_NE(first, nullptr);
        EXPECT_DOUBLE_EQ(first->y1, c.caption + 7 + 9 + 5);
        // The last summary row is on the last page.
        EXPECT_NE(
            textOn(doc.pages.back(), QStringLiteral("합계%1").arg(c.summaryRows, 3, 10, QLatin1Char('0'))),
            nullptr);
    }
}

}  // namespace
