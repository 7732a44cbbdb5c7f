// The order sheet's page breaks and the summary's place, laid out from sheet data made in memory: the
// rules of the layout need no server.
#include "print/sheet_layout.h"
#include "print/buy_order.h"
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

// The summary's rows go on from the lines' page to the next one, under a fresh title block and header.
TEST_F(SheetLayoutTest, SummaryRowsContinueOnTheNextPageUnderAFreshHeader) {
    const PrintDocument doc = RecordSheet(sheetOf(1, 10, 7), QString());
    ASSERT_EQ(doc.pages.size(), 2u);
    // Six rows fill slots 13 to 18 of page 1, the product from X 21 ...
    const PrintItem& sixth = textItem(doc.pages[0], QStringLiteral("합계006"));
    EXPECT_DOUBLE_EQ(sixth.y1, 13 * 18 + 29 + 5);
    EXPECT_DOUBLE_EQ(sixth.x1, 21);
    EXPECT_FALSE(hasText(doc.pages[0], QStringLiteral("합계007")));
    // ... and the seventh opens page 2 under the title block and the summary header at 33.
    const PrintPage& two = doc.pages[1];
    EXPECT_TRUE(hasTitle(two));
    EXPECT_TRUE(hasText(two, QStringLiteral("단위")));
    EXPECT_DOUBLE_EQ(ruleYs(two).front(), 33);
    EXPECT_DOUBLE_EQ(textItem(two, QStringLiteral("합계007")).y1, 47);
    EXPECT_TRUE(hasText(two, QStringLiteral("7")));
}

// The notice box at the foot of the page: after the lines or the summary, on a new page with the title
// block when they left their page nearly full, alone on a page that the lines left empty.
TEST_F(SheetLayoutTest, NoticeBoxAtTheFootOfTheLastPage) {
    const struct {
        const char* name;
        int lines;
        int summaryRows;
        int pages;
        bool titleOnBoxPage;
    } cases[] = {
        {"after the lines", 10, 0, 1, true},
        {"after the summary", 8, 4, 1, true},
        {"summary left 16 slots", 20, 12, 3, true},
        {"lines left the page empty", 18, 0, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SheetData sheet = sheetOf(1, c.lines, c.summaryRows);
        sheet.withNotices = true;
        sheet.notices = QStringLiteral("오전 중 납품\r\n차량 2대");
        const PrintDocument doc = RecordSheet(sheet, QString());
        ASSERT_EQ(int(doc.pages.size()), c.pages);
        const PrintPage& last = doc.pages.back();
        const auto box = std::find_if(last.items.begin(), last.items.end(),
                                      [](const PrintItem& i) { return i.kind == PrintItem::Kind::Box; });
        ASSERT_NE(box, last.items.end());
        EXPECT_DOUBLE_EQ(box->x1, 10);
        EXPECT_DOUBLE_EQ(box->y1, 237);
        EXPECT_DOUBLE_EQ(box->x2, 198);
        EXPECT_DOUBLE_EQ(box->y2, 276);
        EXPECT_DOUBLE_EQ(box->penWidth, 12);
        const PrintItem& caption = textItem(last, QStringLiteral("공지사항:"));
        EXPECT_DOUBLE_EQ(caption.y1, 239);
        EXPECT_DOUBLE_EQ(caption.x1, 12);
        EXPECT_DOUBLE_EQ(caption.font.size, 14);
        EXPECT_DOUBLE_EQ(textItem(last, QStringLiteral("오전 중 납품")).y1, 248);
        EXPECT_GT(textItem(last, QStringLiteral("차량 2대")).y1, 248 + 4);
        EXPECT_EQ(hasTitle(last), c.titleOnBoxPage);
        EXPECT_EQ(hasText(last, QStringLiteral("Page.%1/%1 (총%1장)").arg(c.pages)), c.titleOnBoxPage);
    }
}

// The page line counts the pages the sheet really has, where the estimate made before the first page is
// off (a summary that needs one slot more).
TEST_F(SheetLayoutTest, PageLineCountsThePagesTheSheetHas) {
    const PrintDocument doc = RecordSheet(sheetOf(1, 34, 34), QString());
    ASSERT_EQ(doc.pages.size(), 4u);
    for (int p = 0; p < 4; ++p)
        EXPECT_TRUE(hasText(doc.pages[std::size_t(p)], QStringLiteral("Page.%1/4 (총4장)").arg(p + 1))) << p;
}

// Each table's rules stand at its columns' edges, in the header and in every row, and each text starts in
// its own column.
TEST_F(SheetLayoutTest, RulesAndTextsStandInTheirColumns) {
    SheetData sheet = sheetOf(1, 1, 1);
    sheet.lines[0].bigo = QStringLiteral("문 앞");
    const PrintPage page = RecordSheet(sheet, QString()).pages.at(0);
    const auto verticalsBetween = [&](double top, double bottom) {
        std::vector<double> xs;
        for (const PrintItem& i : page.items)
            if (i.kind == PrintItem::Kind::Line && i.x1 == i.x2 && i.y1 == top && i.y2 == bottom)
                xs.push_back(i.x1);
        return xs;
    };
    const std::vector<double> lineRules = {10, 20, 30, 108, 121, 136, 154, 187, 198};
    const std::vector<double> summaryRules = {10, 20, 170, 183, 198};
    EXPECT_EQ(verticalsBetween(33, 42), lineRules);  // the header
    EXPECT_EQ(verticalsBetween(42, 55), lineRules);  // the row in slot 1
    EXPECT_EQ(sheet_geometry::ColumnRules(RowKind::OrderLine), lineRules);
    // The summary: caption in slot 2, header over slot 3, its row in slot 4.
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("집계표")).y1, 13 * 3 + 26);
    EXPECT_EQ(verticalsBetween(72, 81), summaryRules);
    EXPECT_EQ(verticalsBetween(81, 94), summaryRules);
    EXPECT_EQ(sheet_geometry::ColumnRules(RowKind::Summary), summaryRules);
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("품목001")).x1, 31);
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("한빛초")).x1, 137);
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("문 앞")).x1, 155);
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("합계001")).x1, 21);
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("합계001")).y1, 81 + 5);
}

}  // namespace
