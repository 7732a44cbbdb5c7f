// The order lines and product totals of a selected direction.
#include "grid/form_ini.h"
#include "orders_fixture.h"
#include "widgets/form_helpers.h"

#include <QFrame>
#include <QSettings>

#include <algorithm>

namespace orders_test {
namespace {

using OrderLinesTest = OrdersTest;

// Selects the direction with the code in the list of the date.
void select(frmMain& w, const QString& code) {
    const int row = int(column(w.spListO(), 8).indexOf(code)) + 1;
    ASSERT_GT(row, 0) << "direction " << code.toStdString() << " is not listed";
    w.spListO()->setActiveCell(1, row);
}

QStringList rowOf(const SpreadGrid* grid, int row) {
    QStringList cells;
    for (int col = 1; col <= grid->maxCols(); ++col) cells << grid->text(col, row);
    return cells;
}

TEST_F(OrderLinesTest, LinesCarryCustomerAndCarAndALineWithoutItsOrderLinkIsLeftOut) {
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    select(*window, QStringLiteral("11"));
    const SpreadGrid* lines = window->spList();
    ASSERT_EQ(lines->maxRows(), 3) << "line 103 has no order-user link";
    EXPECT_EQ(rowOf(lines, 1), (QStringList{"한빛초", "양파", "10.00", "kg", "오전 배송", "1호차", "101", "1",
                                            "한빛초등학교", "깐양파"}));
    EXPECT_EQ(rowOf(lines, 2),
              (QStringList{"똠방", "대파", "5.00", "단", "", "", "102", "2", "똠방각하 분식", ""}));
    EXPECT_EQ(lines->text(7, 3), QStringLiteral("104"));
    for (int col : {7, 8, 9, 10}) EXPECT_TRUE(lines->colHidden(col));
}

TEST_F(OrderLinesTest, TotalsAreThoseOfThePurchaseDateAndAProductUnderTwoUnitsGivesTwoRows) {
    open();
    // Listed by delivery date; direction 11's own purchase date is 05-11, the totals are 05-10's.
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    select(*window, QStringLiteral("11"));
    const SpreadGrid* totals = window->spListG();
    EXPECT_FALSE(totals->isHidden());
    QStringList rows;
    for (int row = 1; row <= totals->maxRows(); ++row) rows << rowOf(totals, row).join(QLatin1Char('|'));
    std::sort(rows.begin(), rows.end());
    QStringList expected = {"배추|3.00|포기", "양파|10.00|kg", "양파|2.00|망"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(totals->text(1, 1), QStringLiteral("배추"));  // ordered by product name

    // The same by order date, for a direction of an unknown kind: still the purchase date's totals.
    select(*window, QStringLiteral("13"));
    EXPECT_FALSE(totals->isHidden());
    EXPECT_EQ(totals->maxRows(), 3);
}

// The database compares the code page 949 bytes of the names as they are: Hangul comes in 가나다 order.
TEST_F(OrderLinesTest, TotalsAreInHangulOrder) {
    testdb::execAll({
        QStringLiteral("INSERT INTO t_product (code, mname, unit) VALUES (6, '방울토마토', 'kg')"),
        QStringLiteral("INSERT INTO t_orderuser_sub (code, c_orderuser, c_product) VALUES (211, 301, 6), "
                       "(212, 302, 5)"),
        QStringLiteral("INSERT INTO t_ordering (code, pname, qnt, bigo, c_direction, c_product, "
                       "c_orderuser_sub) VALUES (111, '방울토마토', 1, '', 13, 6, 211), "
                       "(112, '감자', 2, '', 13, 5, 212)"),
    });
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    select(*window, QStringLiteral("13"));
    EXPECT_EQ(column(window->spListG(), 1), (QStringList{"감자", "방울토마토", "배추", "양파", "양파"}));
}

TEST_F(OrderLinesTest, AdvanceAndStockDirectionsHideTheTotalsAndTheLinesTakeTheWholeHeight) {
    frmMain& w = open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    const int area = twipsHeight(w.pnlTop(2));
    for (const char* code : {"17", "18"}) {
        select(w, QString::fromLatin1(code));
        EXPECT_TRUE(w.spListG()->isHidden()) << code;
        EXPECT_NEAR(twipsHeight(w.spList()), area - 105, 30) << code;
    }
    select(w, QStringLiteral("11"));
    EXPECT_FALSE(w.spListG()->isHidden());
    EXPECT_NEAR(twipsHeight(w.spList()), area - twipsHeight(w.spListG()) - 135, 30);
    EXPECT_NEAR(w.spListG()->y(), w.spList()->y() + w.spList()->height() + twipsToPixels(30, &w), 1);
}

TEST_F(OrderLinesTest, AnEmptyListQueriesDirectionZeroAndBuyerZero) {
    // A direction 0 of buyer 0 with a line: its line and totals show only when code 0 and buyer 0 are
    // queried, which is what an empty list gives.
    testdb::execAll({
        QStringLiteral("SET SESSION sql_mode = 'NO_AUTO_VALUE_ON_ZERO'"),
        QStringLiteral("INSERT INTO t_direction (code, sdate, ddate, bdate, branch, c_user, c_buyer) "
                       "VALUES (0, '2031-01-01', '2031-01-01', '2031-01-01', 1, 6, 0)"),
        QStringLiteral("SET SESSION sql_mode = DEFAULT"),
        QStringLiteral("INSERT INTO t_ordering (code, pname, qnt, c_direction, c_product, c_orderuser_sub) "
                       "VALUES (900, '유령', 1, 0, 1, 201)"),
    });
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2031-01-01"));
    EXPECT_EQ(window->spListO()->maxRows(), 0);
    EXPECT_EQ(column(window->spList(), 2), QStringList{QStringLiteral("유령")});
    EXPECT_FALSE(window->spListG()->isHidden());
    EXPECT_EQ(column(window->spListG(), 1), QStringList{QStringLiteral("유령")});
}

TEST_F(OrderLinesTest, AShorterReloadMakesRowOneActive) {
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    select(*window, QStringLiteral("11"));
    window->spList()->setActiveCell(2, 3);
    select(*window, QStringLiteral("13"));  // two lines
    EXPECT_EQ(window->spList()->activeRow(), 1);
    EXPECT_EQ(window->spList()->activeCol(), 2);
}

}  // namespace
}  // namespace orders_test

namespace orders_test {
namespace {

TEST_F(OrderLinesTest, TheLineGridHasTheGridKeysMenuAndStoredColumnWidths) {
    frmMain& w = open();
    showActive(&w);
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    w.spList()->setFocus();

    testDialogs().answer(Dialogs::ResultOk);
    sendKey(w.spList(), Qt::Key_H, Qt::ControlModifier);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().last().title, QStringLiteral("시트내 단축키 목록"));

    testDialogs().answerMenu(0);
    emit w.spList()->mouseUp(SpreadGrid::kRightButton, 0, 10, 10);
    ASSERT_EQ(testDialogs().boxes().size(), 2);
    EXPECT_EQ(testDialogs().last().kind, ScriptedDialogs::Kind::Menu);

    w.spList()->setColWidth(2, 20);
    emit w.spList()->colWidthChange(2, 2);
    QSettings ini(FormIniPath(QStringLiteral("frmMain")), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("spList_ColsWidth/2")).toDouble(), 20.0);
}

}  // namespace
}  // namespace orders_test
