// The order sheet's data as read from the test server (mode, lines, summary, notices), and what the rows
// of such a sheet show. The page rules themselves (breaks, the summary's and the notice box's places) are
// tested on sheet data made in memory, in tests/print.
#include "orderdata/sheet_data.h"
#include "platform/app_error.h"
#include "print/buy_order.h"
#include "sheet_fixture.h"
#include "support/scripted_dialogs.h"

using namespace sheet_test;

namespace {

QString pageLine(int page, int pages) {
    return QStringLiteral("Page.%1/%2 (총%2장)").arg(page).arg(pages);
}

class OrderSheetTest : public SheetTest {};

// What is read for the sheet: its mode (the whole date, or the direction's kind, an unknown kind read as
// 0), and a summary only for mode 1 or 2, not ahead, and a buyer whose printtotal is exactly 1.
TEST_F(OrderSheetTest, ModeAndSummaryReadForTheSheetsAndBuyersThatAskForIt) {
    struct Case {
        int printTotal;
        int branch;
        bool allOfDate;
        int mode;
        bool summary;
    } cases[] = {
        {1, 1, false, 1, true},  {1, 2, false, 2, true},  {1, 0, true, 1, true},   {1, 0, false, 0, false},
        {1, 3, false, 3, false}, {0, 1, false, 1, false}, {2, 2, false, 2, false}, {1, 7, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.printTotal << " " << c.branch << " " << c.allOfDate);
        seedBase(c.printTotal);
        addDirection(11, c.branch);
        addLines(11, 3);
        const SheetData sheet = ReadSheetData(11, c.allOfDate, false);
        EXPECT_EQ(sheet.mode, c.mode);
        EXPECT_EQ(sheet.buyerName, QStringLiteral("라벤청과"));
        EXPECT_EQ(sheet.lines.size(), 3u);
        EXPECT_EQ(sheet.withSummary, c.summary);
        EXPECT_EQ(sheet.summary.size(), c.summary ? 3u : 0u);
    }
}

TEST_F(OrderSheetTest, NoticesAreReadOnlyForTheAllOfDateSheet) {
    seedBase(0);
    addDirection(11, 0, QStringLiteral("2030-05-10"), QStringLiteral("2030-05-10"),
                 QStringLiteral("오전 중 납품"));
    addLines(11, 2);
    EXPECT_FALSE(ReadSheetData(11, false, false).withNotices);
    const SheetData whole = ReadSheetData(11, true, false);
    EXPECT_TRUE(whole.withNotices);
    EXPECT_EQ(whole.notices, QStringLiteral("오전 중 납품"));
    EXPECT_EQ(GetDirectionNotices(1, QStringLiteral("2030-05-10")), QStringLiteral("오전 중 납품"));
    EXPECT_EQ(GetDirectionNotices(1, QStringLiteral("2030-05-11")), QString());
}

TEST_F(OrderSheetTest, TitleBlockNamesBuyerPurchaseDateAndWeekday) {
    seedBase(0);
    addDirection(11, 0, QStringLiteral("2030-05-11"), QStringLiteral("2030-05-10"));
    addLines(11, 1);
    const PrintPage page = recordedSheet(11, false, false).pages[0];
    const PrintItem& title = textItem(page, QStringLiteral("라벤푸드 주문서"));
    EXPECT_DOUBLE_EQ(title.y1, 8.5);
    EXPECT_DOUBLE_EQ(title.font.size, 20);
    EXPECT_TRUE(title.font.bold);
    EXPECT_EQ(title.font.family, QStringLiteral("굴림체"));
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("수 신 처 : 라벤청과")).x1, 10);
    // 2030-05-10 is a Friday.
    const PrintItem& delivery = textItem(page, QStringLiteral("납 품 일 : 2030년05월10일 금요일"));
    EXPECT_DOUBLE_EQ(delivery.y1, 26);
    const PrintItem& pageItem = textItem(page, pageLine(1, 1));
    EXPECT_GT(pageItem.x1, 150);
    EXPECT_EQ(GetWeekdayName(QStringLiteral("2030-05-12")), QStringLiteral("일"));
    EXPECT_EQ(GetWeekdayName(QStringLiteral("2030-05-13")), QStringLiteral("월"));
    EXPECT_EQ(GetWeekdayName(QStringLiteral("x")), QString());
}

// One row of the order-line table: its texts and where they sit.
TEST_F(OrderSheetTest, RowShowsMarkProductQuantityUnitCustomerRemarkAndCar) {
    seedBase(0);
    addDirection(11, 0);
    addLine(11, QStringLiteral("양파"), QStringLiteral("12.5"), QStringLiteral("오전 배송"));
    addLine(11, QStringLiteral("양파망"), QStringLiteral("1200"), QString(), 202);
    const PrintPage page = recordedSheet(11, false, false).pages[0];
    const double top = 42;
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("선")).y1, top + 5);
    const PrintItem& product = textItem(page, QStringLiteral("양파"));
    EXPECT_DOUBLE_EQ(product.x1, 31);
    EXPECT_DOUBLE_EQ(product.font.size, 12);
    EXPECT_FALSE(product.font.bold);
    // Quantities right-aligned to 120: one decimal where there is one, thousands grouped.
    const PrintItem& half = textItem(page, QStringLiteral("12.5"));
    const PrintItem& grouped = textItem(page, QStringLiteral("1,200"));
    EXPECT_GT(half.x1, grouped.x1);
    EXPECT_NEAR(half.x1 + 4 * 2.117, 120, 0.05);  // four half-em characters at 12 pt
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("kg")).x1, 122);
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("똠방")).x1, 137);
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("오전 배송")).x1, 155);
    // The car is the number of its name ("1호차" is 1), "0" without one, centred in 188 to 198; rows are
    // ordered by car name, so the line without a car comes first.
    const PrintItem& noCar = textItem(page, QStringLiteral("0"));
    EXPECT_NEAR(noCar.x1, 193 - 2.117 / 2, 0.05);
    EXPECT_DOUBLE_EQ(noCar.y1, top + 5);
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("똠방")).y1, top + 5);
    EXPECT_DOUBLE_EQ(textItem(page, QStringLiteral("한빛초")).y1, top + 13 + 5);
}

TEST_F(OrderSheetTest, LongProductOnTwoLinesAroundTheRowsMiddle) {
    seedBase(0);
    addDirection(11, 0);
    // 40 Hangul syllables: 80 bytes, three pieces of at most 36 bytes.
    const QString name = QString(18, QChar(u'가')) + QString(18, QChar(u'나')) + QString(4, QChar(u'다'));
    addLine(11, name, QStringLiteral("1"));
    const PrintPage page = recordedSheet(11, false, false).pages[0];
    const PrintItem& one = textItem(page, QString(18, QChar(u'가')));
    const PrintItem& two = textItem(page, QString(18, QChar(u'나')));
    const double h = two.y1 - one.y1;  // 1.3 text heights
    EXPECT_GT(h, 4);
    // Around the middle: the pair is centred on the one-line position 47.
    const double textHeight = h / 1.3;
    EXPECT_NEAR(one.y1, 47 - 0.65 * textHeight, 1e-6);
    EXPECT_NEAR(two.y1, 47 + 0.65 * textHeight, 1e-6);
    EXPECT_DOUBLE_EQ(one.x1, 31);
    EXPECT_FALSE(hasText(page, QString(4, QChar(u'다'))));
}

TEST_F(OrderSheetTest, StockDirectionReadsByProductWithoutCustomerRemarkOrCar) {
    seedBase(0);
    addDirection(18, 3);
    addLine(18, QStringLiteral("배추"), QStringLiteral("3"), QStringLiteral("비고"));
    addLine(18, QStringLiteral("감자"), QStringLiteral("2"));
    const SheetData sheet = ReadSheetData(18, false, false);
    EXPECT_EQ(sheet.mode, 3);
    ASSERT_EQ(sheet.lines.size(), 2u);
    EXPECT_EQ(sheet.lines[0].pname, QStringLiteral("감자"));
    EXPECT_EQ(sheet.lines[1].pname, QStringLiteral("배추"));
    for (const SheetLine& line : sheet.lines) {
        EXPECT_EQ(line.nickname, QString());
        EXPECT_EQ(line.bigo, QString());
        EXPECT_EQ(line.carname, QString());
        EXPECT_EQ(line.branch, 3);
    }
}

// The ahead sheet reads every unprinted branch-0 line from the purchase date on, each with its delivery
// date, and no summary.
TEST_F(OrderSheetTest, AheadSheetReadsTheUnprintedBranchZeroLinesFromThePurchaseDateOn) {
    seedBase(1);
    addDirection(14, 0, QStringLiteral("2030-03-15"), QStringLiteral("2030-03-14"));
    addDirection(15, 0, QStringLiteral("2030-03-16"), QStringLiteral("2030-03-15"));
    addDirection(16, 0, QStringLiteral("2030-03-17"), QStringLiteral("2030-03-16"), QString(),
                 QStringLiteral("출력"));
    addDirection(17, 2, QStringLiteral("2030-03-17"), QStringLiteral("2030-03-16"));
    addLine(14, QStringLiteral("양파"), QStringLiteral("1"));
    addLine(15, QStringLiteral("대파"), QStringLiteral("2"));
    addLine(16, QStringLiteral("감자"), QStringLiteral("3"));  // printed already
    addLine(17, QStringLiteral("배추"), QStringLiteral("4"));  // not branch 0
    const SheetData sheet = ReadSheetData(14, false, true);
    EXPECT_TRUE(sheet.ahead);
    EXPECT_FALSE(sheet.withSummary);
    ASSERT_EQ(sheet.lines.size(), 2u);
    EXPECT_EQ(sheet.lines[0].pname, QStringLiteral("양파"));
    EXPECT_EQ(sheet.lines[0].sdate, QStringLiteral("2030-03-15"));
    EXPECT_EQ(sheet.lines[1].pname, QStringLiteral("대파"));
    EXPECT_EQ(sheet.lines[1].sdate, QStringLiteral("2030-03-16"));
}

TEST_F(OrderSheetTest, DirectionWithoutLinesReadsNoLineAndPrintsNoPage) {
    seedBase(0);
    addDirection(11, 0);
    EXPECT_TRUE(ReadSheetData(11, false, false).lines.empty());
    EXPECT_TRUE(recordedSheet(11, false, false).pages.empty());
}

TEST_F(OrderSheetTest, FailingStatementRaisesWithTheServersReason) {
    seedBase(0);
    addDirection(11, 0);
    addLines(11, 1);
    testdb::exec(QStringLiteral("RENAME TABLE t_car TO t_car_gone"));
    testDialogs().answer(Dialogs::ResultOk);  // the connection's own report of the refused statement
    try {
        ReadSheetData(11, false, false);
        ADD_FAILURE() << "no error raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 1146);
        EXPECT_TRUE(e.description().contains(QStringLiteral("t_car"))) << e.description().toStdString();
    }
    testdb::exec(QStringLiteral("RENAME TABLE t_car_gone TO t_car"));
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("Error 1146")))
        << testDialogs().last().text.toStdString();
}

}  // namespace
