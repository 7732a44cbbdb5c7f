// The label window's commands on its rows: checks and block selection, select all, bulk and row copy,
// delete, print without anything to print, delete printed, the function keys and sorting.
#include "labels_fixture.h"
#include "support/widget_input.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryFile>

using namespace labels_test;

namespace {

const QString kYes = QStringLiteral("1");

QStringList names(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* s : list) out << QString::fromUtf8(s);
    return out;
}

}  // namespace

TEST_F(LabelWindowTest, LoadsEmptyWithItsCaptionsAndColumnList) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("라벨출력"));
    EXPECT_EQ(grid()->maxRows(), 0);
    EXPECT_EQ(grid()->maxCols(), 11);
    EXPECT_EQ(window->hcField()->count(), 10);
    EXPECT_EQ(window->hcField()->itemText(0), QStringLiteral("고객사"));
    EXPECT_EQ(window->hcField()->itemText(9), QStringLiteral("특이사항"));
    EXPECT_EQ(window->btnPrint()->text(), QStringLiteral("인쇄 F7  "));
    EXPECT_EQ(window->GET_PNAME(), 3);
    EXPECT_EQ(grid()->colMaxLength(11), 100);
    EXPECT_FALSE(grid()->isCellEditable(1, 1));
    // The entry row takes today's date, or the date of the row above.
    window->AddBlankRow();
    EXPECT_EQ(grid()->text(7, 1), TodayLabelDate());
    grid()->setText(7, 1, QStringLiteral("2030년 05월 10일"));
    window->AddBlankRow();
    EXPECT_EQ(grid()->text(7, 2), QStringLiteral("2030년 05월 10일"));
    EXPECT_EQ(grid()->activeRow(), 2);
    EXPECT_EQ(grid()->activeCol(), 2);
}

TEST_F(LabelWindowTest, ClicksToggleChecksAndABlockTogglesEachOfItsRows) {
    typeLabels(names({"양파", "대파", "감자", "배추"}));
    showWindow();
    clickCell(grid(), 1, 2);
    EXPECT_EQ(column(1), (QStringList{QString(), kYes, QString(), QString(), QString()}));
    EXPECT_EQ(grid()->activeCol(), 2);  // the cursor leaves the check column
    EXPECT_EQ(grid()->activeRow(), 2);
    clickCell(grid(), 1, 2);
    EXPECT_EQ(grid()->text(1, 2), QString());

    // 블럭 down: dragging over rows 1 to 3 flips each; the one already checked ends unchecked.
    grid()->setText(1, 2, kYes);
    window->btnBlock()->click();
    EXPECT_FALSE(grid()->editModePermanent());
    dragCells(grid(), 3, 1, 4, 3);
    EXPECT_EQ(column(1), (QStringList{kYes, QString(), kYes, QString(), QString()}));
    window->btnBlock()->click();
    EXPECT_TRUE(grid()->editModePermanent());
}

TEST_F(LabelWindowTest, SelectAllAndBulkCopyLeaveTheEntryRowAlone) {
    typeLabels(names({"양파", "대파", "감자"}));
    window->chkAll()->click();
    EXPECT_EQ(column(1), (QStringList{kYes, kYes, kYes, QString()}));
    grid()->setText(1, 2, QString());
    window->hcField()->setCurrentIndex(9);  // 특이사항, column 11
    window->htField()->setText(QStringLiteral("냉장 보관"));
    window->btnCopy()->click();
    EXPECT_EQ(column(11),
              (QStringList{QStringLiteral("냉장 보관"), QString(), QStringLiteral("냉장 보관"), QString()}));
    window->chkAll()->click();
    EXPECT_EQ(column(1),
              (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QString()}));
}

TEST_F(LabelWindowTest, RowCopyAppendsUncheckedCopiesBeforeANewEntryRow) {
    typeLabels(names({"양파", "대파", "감자"}));
    grid()->setText(1, 1, kYes);
    grid()->setText(1, 3, kYes);
    grid()->setText(7, 3, QStringLiteral("2030년 05월 10일"));
    window->btnRowCopy()->click();
    EXPECT_EQ(column(3), names({"양파", "대파", "감자", "양파", "감자", ""}));
    EXPECT_EQ(column(1), (QStringList{kYes, QString(), kYes, QString(), QString(), QString()}));
    EXPECT_EQ(grid()->text(7, 6), QStringLiteral("2030년 05월 10일"));  // the entry row's date from above
}

TEST_F(LabelWindowTest, DeleteRemovesCheckedRowsOrTheActiveRowAfterTheQuestion) {
    // Nothing checked and only the entry row: nothing to delete.
    window->AddBlankRow();
    testDialogs().answer(Dialogs::ResultOk);
    window->DeleteCheckedRows();
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("삭제할 내역이 없습니다."));
    EXPECT_EQ(grid()->maxRows(), 1);

    window = std::make_unique<fBPrintLabel>();
    typeLabels(names({"양파", "대파", "감자", "배추"}));
    grid()->setText(1, 2, kYes);
    grid()->setText(1, 3, kYes);
    testDialogs().reset();
    testDialogs().answer(Dialogs::ResultNo);
    window->DeleteCheckedRows();
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("선택된 모든내역을 삭제하시겠습니까?"));
    EXPECT_EQ(testDialogs().last().defaultButton, 2);
    EXPECT_EQ(grid()->maxRows(), 5);
    testDialogs().answer(Dialogs::ResultYes);
    sendKey(grid(), Qt::Key_F4);
    EXPECT_EQ(column(3), names({"양파", "배추", ""}));
    EXPECT_TRUE(grid()->text(7, 3) == TodayLabelDate());

    // Nothing checked with rows: the active row is checked and deleted.
    grid()->setActiveCell(3, 2);
    testDialogs().answer(Dialogs::ResultYes);
    window->DeleteCheckedRows();
    EXPECT_EQ(column(3), names({"양파", ""}));
}

TEST_F(LabelWindowTest, EscapeClosesTheWindowFromTheGrid) {
    typeLabels(names({"양파"}));
    showWindow();
    grid()->setFocus();
    sendKey(grid(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(LabelWindowTest, PrintWithNothingToPrintAsksAndStops) {
    // One row (the entry row) or none: the question, then nothing.
    for (int rows : {0, 1}) {
        window = std::make_unique<fBPrintLabel>();
        if (rows) window->AddBlankRow();
        testDialogs().reset();
        testDialogs().answer(Dialogs::ResultYes);
        window->PrintCheckedRows();
        EXPECT_EQ(testDialogs().boxes().size(), 1);
        EXPECT_EQ(testDialogs().last().text, QStringLiteral("정말 인쇄 하시겠습니까?"));
    }
    // Checked rows without any text in columns 2 to 11.
    window = std::make_unique<fBPrintLabel>();
    grid()->setMaxRows(3);
    grid()->setText(1, 1, kYes);
    grid()->setText(1, 2, kYes);
    testDialogs().reset();
    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultOk);
    sendKey(grid(), Qt::Key_F7);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("출력할 내용이 없습니다."));
    // No: nothing happens at all.
    testDialogs().answer(Dialogs::ResultNo);
    window->PrintCheckedRows();
    EXPECT_EQ(testDialogs().boxes().size(), 3);
}

TEST_F(LabelWindowTest, PrintedRowsTurnGreyAndDeletePrintedRemovesThem) {
    QTemporaryFile device;
    ASSERT_TRUE(device.open());
    setPortType(QStringLiteral("0"));
    mapPort(QStringLiteral("LPT1"), device.fileName());
    typeLabels(names({"양파", "대파", "감자", "배추"}));
    grid()->setActiveCell(3, 3);  // nothing checked: the active row is printed
    testDialogs().answer(Dialogs::ResultYes);
    window->btnPrint()->click();
    EXPECT_EQ(grid()->text(1, 3), QString());  // printed: unticked
    EXPECT_EQ(greyRows(), QList<int>{3});
    grid()->setText(1, 1, kYes);
    testDialogs().answer(Dialogs::ResultYes);
    window->PrintCheckedRows();
    EXPECT_EQ(greyRows(), (QList<int>{1, 3}));
    window->btnRecDelPrint()->click();
    EXPECT_EQ(column(3), names({"대파", "배추", ""}));
    EXPECT_TRUE(greyRows().isEmpty());
}

TEST_F(LabelWindowTest, F8ExportsTheGrid) {
    typeLabels(names({"양파"}));
    testDialogs().answer(Dialogs::ResultNo);  // the export's own question
    sendKey(window->htField(), Qt::Key_F8);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("엑셀로 자료를 내보내기 하시겠습니까?"));
}

TEST_F(LabelWindowTest, SortingKeepsTheEntryRowLast) {
    typeLabels(names({"양파", "대파", "감자"}));
    grid()->setText(7, 4, QStringLiteral("2030년 05월 10일"));
    grid()->setText(7, 2, QStringLiteral("2030년 05월 10일"));
    showWindow();
    QHeaderView* header = grid()->horizontalHeader();
    sendMouse(header->viewport(), QEvent::MouseButtonPress,
              QPoint(header->sectionViewportPosition(2) + header->sectionSize(2) / 2, header->height() / 2));
    sendMouse(header->viewport(), QEvent::MouseButtonRelease,
              QPoint(header->sectionViewportPosition(2) + header->sectionSize(2) / 2, header->height() / 2));
    EXPECT_EQ(column(3), names({"감자", "대파", "양파", ""}));
    EXPECT_EQ(grid()->text(7, 4), grid()->text(7, 3));
    EXPECT_EQ(grid()->activeCol(), 3);
    EXPECT_EQ(grid()->activeRow(), 1);
}
