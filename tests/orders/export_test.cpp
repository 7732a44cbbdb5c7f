// The export command: the order lines of every listed direction in one workbook, read back.
#include "grid/grid_fixture.h"
#include "orders_fixture.h"
#include "support/shell_recorder.h"

#include <QDir>
#include <QPushButton>

namespace orders_test {
namespace {

QStringList& opened() {
    return ShellRecorder::opened();
}

class ExportTest : public OrdersTest {
protected:
    ShellRecorder m_shell;
    QStringList workbooks() const {
        return QDir(dataDir.path() + QStringLiteral("/ExpExcel"))
            .entryList({QStringLiteral("*.XLS")}, QDir::Files);
    }
};

TEST_F(ExportTest, TheLinesOfEveryListedDirectionReachTheWorkbook) {
    testdb::exec(QStringLiteral("UPDATE t_ordering SET qnt = 12.5 WHERE code = 104"));
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));  // 11, 12, 13, 17, 18
    window->spListO()->setActiveCell(1, 3);                         // direction 13
    testDialogs().answer(Dialogs::ResultYes);
    window->btnExcel()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("엑셀로 자료를 내보내기 하시겠습니까?"));

    ASSERT_EQ(workbooks().size(), 1);
    ASSERT_EQ(opened().size(), 1);
    const XlsBook book(opened().first());
    ASSERT_TRUE(book.opened);
    EXPECT_EQ(book.sheetName, QStringLiteral("Sheet1"));
    ASSERT_EQ(book.cols, 6);
    const QStringList header = {"매출처", "품명", "수량", "단위", "특이사항", "배차"};
    for (unsigned short c = 0; c < 6; ++c) EXPECT_EQ(book.text(0, c), header[c]);
    // Directions 11 (three linked lines), 12 (none), 13 (two), 17 and 18 (one each), in list order.
    ASSERT_EQ(book.rows, 1u + 7u);
    const QStringList products = {"양파", "대파", "양파", "양파", "양파", "양파", "배추"};
    for (unsigned r = 1; r <= 7; ++r) EXPECT_EQ(book.text(r, 1), products[int(r) - 1]) << "row " << r;
    EXPECT_EQ(book.text(1, 0), QStringLiteral("한빛초"));
    EXPECT_EQ(book.text(1, 4), QStringLiteral("오전 배송"));
    EXPECT_EQ(book.text(1, 5), QStringLiteral("1호차"));
    EXPECT_EQ(book.text(2, 5), QString());
    // Quantities are numbers that a spreadsheet sums (the database sends them as texts like "12.50"); the
    // other cells stay texts.
    const double quantities[] = {10, 5, 12.5, 4, 2, 6, 3};
    for (unsigned r = 1; r <= 7; ++r) {
        EXPECT_TRUE(book.type(r, 2) == FREEXL_CELL_DOUBLE || book.type(r, 2) == FREEXL_CELL_INT)
            << "row " << r;
        EXPECT_DOUBLE_EQ(book.number(r, 2), quantities[r - 1]) << "row " << r;
        EXPECT_EQ(book.type(r, 1), FREEXL_CELL_SST_TEXT) << "row " << r;
    }
    EXPECT_EQ(book.type(0, 2), FREEXL_CELL_SST_TEXT);  // the header "수량"

    // The selected direction and its lines are shown again.
    EXPECT_EQ(window->spListO()->activeRow(), 3);
    EXPECT_EQ(column(window->spList(), 7), (QStringList{"105", "106"}));
}

TEST_F(ExportTest, AListWithoutLinesHasNothingToExport) {
    open();
    query(QStringLiteral("매입일"), QStringLiteral("2030-05-20"));  // direction 19 only, without lines
    ASSERT_EQ(window->spListO()->maxRows(), 1);
    testDialogs().answer(Dialogs::ResultOk);
    window->btnExcel()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().last().text,
              QStringLiteral("엑셀로 보낼 데이터가 없습니다.\r\n자료 조회 후 엑셀로 보내세요."));
    EXPECT_TRUE(workbooks().isEmpty());
    EXPECT_TRUE(opened().isEmpty());
}

}  // namespace
}  // namespace orders_test
