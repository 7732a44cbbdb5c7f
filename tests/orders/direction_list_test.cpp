// The main window and its direction list against the test server.
#include "orders/frm_main.h"

#include "common/text_helpers.h"
#include "grid/form_ini.h"
#include "orderdata/order_statements.h"
#include "orders/main_columns.h"
#include "orders_fixture.h"
#include "widgets/date_box.h"
#include "widgets/form_helpers.h"

#include <QDate>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>

namespace orders_test {
namespace {

using DirectionListTest = OrdersTest;

TEST_F(DirectionListTest, LoadsWithItsCaptionTheDateKindsAndTomorrow) {
    NoticeCounter notices;
    frmMain& w = open();
    // The title names the list shown: its date kind and date.
    EXPECT_EQ(w.windowTitle(), QStringLiteral("(주)라벤푸드 주문서 Ver.1.1.18 - 납품일 ") +
                                   QDate::currentDate().addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    ASSERT_EQ(w.cmbField()->count(), 3);
    EXPECT_EQ(w.cmbField()->itemText(0), QStringLiteral("납품일"));
    EXPECT_EQ(w.cmbField()->itemText(1), QStringLiteral("발주일"));
    EXPECT_EQ(w.cmbField()->itemText(2), QStringLiteral("매입일"));
    EXPECT_EQ(w.cmbField()->currentIndex(), 0);
    EXPECT_EQ(w.DateText(), QDate::currentDate().addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    EXPECT_FALSE(w.chkAhead()->isChecked());
    EXPECT_EQ(w.btnQuery()->text(), QStringLiteral("조회 F5  "));
    EXPECT_EQ(w.btnClose()->text(), QStringLiteral("닫기 &C   "));
    // Nothing is due tomorrow in this database: the lists are empty, and the window, not yet shown, floats
    // no notice.
    EXPECT_EQ(w.spListO()->maxRows(), 0);
    EXPECT_EQ(notices.count(), 0);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(DirectionListTest, EachDateKindSelectsItsColumnInDateAndCodeOrder) {
    open();
    struct Case {
        QString kind;
        QStringList codes;
    };
    const Case cases[] = {
        {QStringLiteral("납품일"), {"11", "12", "13", "17", "18"}},
        {QStringLiteral("발주일"), {"12", "14", "15", "16"}},
        {QStringLiteral("매입일"), {"12", "13", "17", "18"}},
    };
    for (const Case& c : cases) {
        query(c.kind, QStringLiteral("2030-05-10"));
        EXPECT_EQ(listedCodes(), c.codes) << c.kind.toStdString();
    }
    // The columns of a row: dates as mm-dd, staff, kind, buyer, state, and the hidden code, buyer code and
    // full delivery date.
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    const SpreadGrid* list = window->spListO();
    const QStringList row1 = {"05-10",    "05-10", "10:00", "정발주", "추가",
                              "라벤청과", "출력",  "12",    "1",      "2030-05-10"};
    for (int col = 1; col <= 10; ++col) EXPECT_EQ(list->text(col, 1), row1[col - 1]) << "column " << col;
    for (int col : {8, 9, 10}) EXPECT_TRUE(list->colHidden(col));
    EXPECT_EQ(list->text(5, 2), QStringLiteral("선발"));
}

TEST_F(DirectionListTest, AheadListsOnlyLaterAdvanceOrdersInDateOrder) {
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"), true);
    // 17 is an advance order of the date itself, 16 a later direction of another kind.
    EXPECT_EQ(listedCodes(), (QStringList{"15", "14"}));
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-11"), true);
    EXPECT_EQ(listedCodes(), (QStringList{"14"}));
}

TEST_F(DirectionListTest, ADirectionWithoutLinesIsListedOnceAndAnUnknownKindShowsEmpty) {
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    const QStringList codes = listedCodes();
    EXPECT_EQ(codes.count(QStringLiteral("12")), 1);
    EXPECT_EQ(codes.count(QStringLiteral("11")), 1) << "a direction with several lines is one row";
    const int unknownKind = int(codes.indexOf(QStringLiteral("13"))) + 1;
    EXPECT_EQ(window->spListO()->text(5, unknownKind), QString());
}

TEST_F(DirectionListTest, TheActiveCellStaysOnItsRowOrFallsBackToRowOneOrNone) {
    open();
    SpreadGrid* list = window->spListO();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    list->setActiveCell(2, 3);
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    EXPECT_EQ(list->activeRow(), 3);
    EXPECT_EQ(list->activeCol(), 2);
    ASSERT_EQ(list->maxRows(), 5);
    list->setActiveCell(2, 5);  // the last row
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    EXPECT_EQ(list->activeRow(), 5);

    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));  // four rows
    EXPECT_EQ(list->activeRow(), 1);
    EXPECT_EQ(list->activeCol(), 2);
    // The other grids follow the active row.
    EXPECT_EQ(column(window->spList(), 7), QStringList());  // direction 12 has no lines

    query(QStringLiteral("발주일"), QStringLiteral("2031-01-01"));
    EXPECT_EQ(list->maxRows(), 0);
    EXPECT_EQ(list->activeRow(), 0);
}

TEST_F(DirectionListTest, MovingTheActiveCellLoadsThatDirectionsLines) {
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    ASSERT_EQ(window->spListO()->activeRow(), 1);
    EXPECT_EQ(column(window->spList(), 7), (QStringList{"101", "102", "104"}));
    window->spListO()->setActiveCell(1, 5);  // direction 18
    EXPECT_EQ(column(window->spList(), 7), (QStringList{"110"}));
}

TEST_F(DirectionListTest, F5RunsTheQueryWhileAGridHasTheFocus) {
    frmMain& w = open();
    showActive(&w);
    w.SetDateText(QStringLiteral("2030-05-20"));
    w.spList()->setFocus();
    NoticeCounter notices;
    sendKey(w.spList(), Qt::Key_F5);
    EXPECT_EQ(listedCodes(), (QStringList{"19"}));
    // Direction 19 has no lines; the visible window says so for its lines (its totals are those of the
    // purchase date, which has none either).
    EXPECT_EQ(notices.count(), 2);
    EXPECT_EQ(notices.lastText(), QStringLiteral("검색된 결과가 없습니다."));
}

// A date typed into the date box counts when F5 is pressed there; an impossible one is refused and
// nothing is queried.
TEST_F(DirectionListTest, F5QueriesTheTypedDateAndNotAnImpossibleOne) {
    frmMain& w = open();
    showActive(&w);
    QLineEdit* edit = w.hcDate()->lineEdit();
    edit->setFocus();
    edit->setText(QStringLiteral("2030.5.10"));
    sendKey(edit, Qt::Key_F5);
    EXPECT_EQ(w.DateText(), QStringLiteral("2030-05-10"));
    EXPECT_EQ(listedCodes(), (QStringList{"11", "12", "13", "17", "18"}));

    edit->setText(QStringLiteral("20300532"));
    testDialogs().answer(Dialogs::ResultOk);
    sendKey(edit, Qt::Key_F5);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(w.DateText(), QStringLiteral("2030-05-10"));
    EXPECT_EQ(listedCodes(), (QStringList{"11", "12", "13", "17", "18"}));
}

// A box given no date queries with '' and lists nothing; there is no typed text to refuse.
TEST_F(DirectionListTest, ABoxWithoutADateListsNothingWithoutAHint) {
    open();
    query(QStringLiteral("납품일"), QString());
    EXPECT_EQ(window->DateText(), QString());
    EXPECT_EQ(window->spListO()->maxRows(), 0);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(DirectionListTest, AnEmptyListInTheVisibleWindowFloatsANoticeForEachLoad) {
    frmMain& w = open();
    showActive(&w);
    NoticeCounter notices;
    query(QStringLiteral("납품일"), QStringLiteral("2031-01-01"));
    EXPECT_EQ(w.spListO()->maxRows(), 0);
    EXPECT_EQ(w.spList()->maxRows(), 0);
    EXPECT_EQ(w.spListG()->maxRows(), 0);
    EXPECT_EQ(notices.count(), 3);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(DirectionListTest, AServerOutOfReachStopsTheQueryAtItsFirstBox) {
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    ASSERT_GT(window->spList()->maxRows(), 0);
    // The session's server thread ends, and the server can no longer be reached: the reconnect goes to a
    // socket where nothing listens.
    DBConn()->setUnix_socket(dataDir.path() + QStringLiteral("/nothing.sock"));
    testdb::exec(QStringLiteral("KILL %1").arg(DBConn()->thread_id()));
    testDialogs().answer(Dialogs::ResultOk);
    window->RunQuery();  // F5
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("Error 2002 ")))
        << testDialogs().last().text.toStdString();
    // No list shows what the server said before.
    EXPECT_EQ(window->spListO()->maxRows(), 0);
    EXPECT_EQ(window->spList()->maxRows(), 0);
    EXPECT_EQ(window->spListG()->maxRows(), 0);
}

TEST_F(DirectionListTest, AnApostropheInTheDateTextStaysInsideTheLiteral) {
    // The date box holds dates only; the statement must not depend on it. Unescaped, this text would list
    // every direction of every buyer.
    const QString sql =
        orderdata::DirectionListSql(QStringLiteral("d.sdate"), 1, QStringLiteral("x' OR '1'='1"), false);
    RecordsetPtr rs;
    ASSERT_GE(DBOpenRecordset(rs, sql), 0);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 0);
    CloseRecordset(rs);
}

TEST_F(DirectionListTest, NoToTheCloseQuestionKeepsTheWindowAndTheSession) {
    frmMain& w = open();
    showActive(&w);
    testDialogs().answer(Dialogs::ResultNo);
    w.btnClose()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("프로그램을 종료하시겠습니까?"));
    EXPECT_EQ(testDialogs().last().title, QStringLiteral("프로그램 종료"));
    EXPECT_EQ(testDialogs().last().defaultButton, 1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_NE(DBConn(), nullptr);
    EXPECT_FALSE(QFile::exists(FormIniPath(QStringLiteral("frmMain"))));
}

TEST_F(DirectionListTest, ClosingSavesTheLayoutOnlyWhenTheWindowMovedAndEndsTheSession) {
    for (bool moved : {false, true}) {
        ASSERT_TRUE(testdb::openSession());
        frmMain& w = open();
        showActive(&w);
        if (moved) w.resize(w.width() - 40, w.height());
        testDialogs().answer(Dialogs::ResultYes);
        EXPECT_TRUE(w.close());
        EXPECT_EQ(QFile::exists(FormIniPath(QStringLiteral("frmMain"))), moved);
        EXPECT_EQ(DBConn(), nullptr);
    }
}

TEST_F(DirectionListTest, TheGridsFollowTheWindowsWidth) {
    frmMain& w = open();
    showActive(&w);
    w.resize(w.width() + 200, w.height() + 100);
    const int right = w.width();
    // The buttons stand from the right edge; the order lines keep their left edge and reach the right.
    EXPECT_NEAR(w.btnClose()->x() + twipsToPixels(30 + 1155, &w), right, 1);
    EXPECT_NEAR(w.spList()->x() + w.spList()->width() + twipsToPixels(60, &w), right, 2);
    EXPECT_NEAR(w.pnlTop(2)->height() + w.pnlTop(2)->y(), w.height(), 1);
}

// A click on a column header sorts the list; every row still stands for its own direction when it is
// selected, printed or labelled.
TEST_F(DirectionListTest, AHeaderSortKeepsEachRowsDirection) {
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    QHeaderView* header = window->spListO()->horizontalHeader();
    emit header->sectionClicked(orders::kDirOrderTime - 1);  // 발주시간 ascending: the order it had
    emit header->sectionClicked(orders::kDirOrderTime - 1);  // and descending
    ASSERT_EQ(listedCodes(), (QStringList{"18", "17", "13", "12", "11"}));
    for (int row = 1; row <= 5; ++row) {
        ASSERT_NE(window->DirectionAt(row), nullptr);
        EXPECT_EQ(window->DirectionAt(row)->code, listedCodes()[row - 1]) << row;
    }
    window->spListO()->setActiveCell(1, 5);  // direction 11
    EXPECT_EQ(column(window->spList(), orders::kLineCode), (QStringList{"101", "102", "104"}));
    // The lines sorted by product: the rows kept beside them follow.
    emit window->spList()->horizontalHeader()->sectionClicked(orders::kLineProduct - 1);
    ASSERT_EQ(column(window->spList(), orders::kLineCode), (QStringList{"102", "101", "104"}));
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(window->orderLines()[std::size_t(row - 1)].code,
                  window->spList()->text(orders::kLineCode, row));
}

}  // namespace
}  // namespace orders_test
