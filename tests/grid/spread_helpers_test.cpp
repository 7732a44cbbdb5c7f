// The standard design, the shortcut keys and the cell helpers that the windows call.
#include "grid/spread_helpers.h"
#include "grid/find_in_spread.h"
#include "grid/grid_fixture.h"
#include "support/widget_input.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace {

class SpreadHelpers : public GridTest {
protected:
    void press(int key, int shift) { SpreadShortcutKey(&g, key, shift); }
    SpreadGrid g;
};

TEST_F(SpreadHelpers, ReadOnlyDesignLocksEverythingAndSelectsRows) {
    fill(g, 3, 5);
    CommonSpreadDesign(&g, true, true, true, true, true);
    EXPECT_EQ(g.maxRows(), 0);
    EXPECT_EQ(g.text(0, 0), QStringLiteral("No"));
    // The corner above the row numbers shows it.
    g.resize(300, 200);
    g.show();
    auto* corner = g.findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(corner, nullptr);
    const QImage withNo = corner->grab().toImage();
    g.setText(0, 0, QString());
    EXPECT_NE(corner->grab().toImage(), withNo);
    g.setText(0, 0, QStringLiteral("No"));
    EXPECT_EQ(corner->grab().toImage(), withNo);
    EXPECT_EQ(g.operationMode(), SpreadGrid::OperationMode::SingleSelect);
    EXPECT_EQ(g.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(g.selectBlockOptions(), 0);
    EXPECT_EQ(g.userColAction(), 1);
    EXPECT_EQ(g.shadowColor(), QColor(204, 226, 244));
    EXPECT_EQ(g.selBackColor(), QColor(254, 254, 186));
    EXPECT_EQ(g.textTip(), 1);
    EXPECT_TRUE(g.noBeep());
    g.setMaxRows(2);
    EXPECT_TRUE(g.lock(2, 2));
    EXPECT_FALSE(g.isCellEditable(2, 2));
    EXPECT_EQ(g.rowDefaultBackColor(2), QColor(243, 249, 251));
    EXPECT_EQ(g.rowDefaultBackColor(1), QColor(255, 255, 255));
}

TEST_F(SpreadHelpers, EditableDesignKeepsCellsOpenInReplaceMode) {
    fill(g, 3, 2);
    g.setRowHeadersShow(false);
    CommonSpreadDesign(&g, false, true, true, true, true);
    EXPECT_EQ(g.text(0, 0), QString());  // no row headers: the corner stays empty
    g.setMaxRows(2);
    EXPECT_FALSE(g.lock(1, 1));
    EXPECT_TRUE(g.isCellEditable(1, 1));
    EXPECT_TRUE(g.editModePermanent());
    EXPECT_TRUE(g.editModeReplace());
    EXPECT_EQ(g.operationMode(), SpreadGrid::OperationMode::Normal);

    // The editor replaces what the cell holds.
    g.show();
    g.setText(1, 1, QStringLiteral("old"));
    g.setActiveCell(1, 1);
    QApplication::processEvents();
    auto* editor = g.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->selectedText(), QStringLiteral("old"));

    // Keys typed into the editor reach the grid's key handler once.
    int keys = 0;
    QObject::connect(&g, &SpreadGrid::keyDown, [&](int key, int shift) {
        if (key == Qt::Key_E && shift == SpreadGrid::kCtrlMask) ++keys;
    });
    QKeyEvent ctrlE(QEvent::KeyPress, Qt::Key_E, Qt::ControlModifier);
    QApplication::sendEvent(editor, &ctrlE);
    EXPECT_EQ(keys, 1);

    // A key the editor keeps for itself is no reason to drop a later key on the grid: with the editor
    // closed (a locked cell), Ctrl+E still arrives.
    sendKey(editor, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    const QPointer<QLineEdit> closing(editor);
    g.setLock(2, 1, true);
    g.setActiveCell(2, 1);
    QApplication::processEvents();
    ASSERT_TRUE(!closing || !closing->isVisible());
    sendKey(&g, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(keys, 2);
}

TEST_F(SpreadHelpers, CtrlEHidesAndCtrlWShowsAroundTheActiveRow) {
    fill(g, 2, 3);
    press('E', SpreadGrid::kCtrlMask);  // no active row: nothing
    for (int r = 1; r <= 3; ++r) EXPECT_FALSE(g.rowHidden(r));

    g.setActiveCell(1, 2);
    press('E', SpreadGrid::kCtrlMask | SpreadGrid::kShiftMask);  // not exactly Ctrl: nothing
    press('E', 0);
    EXPECT_FALSE(g.rowHidden(2));
    press('E', SpreadGrid::kCtrlMask);
    EXPECT_TRUE(g.rowHidden(2));

    g.setRowHidden(1, true);
    g.setRowHidden(3, true);
    press('W', SpreadGrid::kCtrlMask);
    EXPECT_FALSE(g.rowHidden(1));
    EXPECT_FALSE(g.rowHidden(3));
    EXPECT_TRUE(g.rowHidden(2));  // the active row itself stays hidden

    // Row 1 of a one-row grid has no rows around it.
    SpreadGrid one;
    fill(one, 1, 1);
    one.setActiveCell(1, 1);
    one.setRowHidden(1, true);
    SpreadShortcutKey(&one, 'W', SpreadGrid::kCtrlMask);
    EXPECT_TRUE(one.rowHidden(1));
}

TEST_F(SpreadHelpers, CtrlHListsTheKeysAndCtrlFOpensTheFindWindow) {
    fill(g, 2, 2);
    testDialogs().answer(Dialogs::ResultOk);
    press('H', SpreadGrid::kCtrlMask);
    EXPECT_EQ(testDialogs().last().title, QStringLiteral("시트내 단축키 목록"));
    EXPECT_EQ(
        testDialogs().last().text,
        QStringLiteral(
            " - Ctrl + H : 단축키 목록보기\r\n\r\n - Ctrl + F : 찾기\r\n\r\n - Ctrl + E : 행숨김\r\n\r\n - "
            "Ctrl + W : 행숨김 취소(아래/위행)"));
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Information);

    bool shownModal = false;
    QTimer::singleShot(0, [&] {
        FrmFindInSpread* w = FindInSpreadWindow();
        shownModal = w->isVisible() && w->isModal();
        w->close();
    });
    press('F', SpreadGrid::kCtrlMask);
    EXPECT_TRUE(shownModal);
    EXPECT_FALSE(FindInSpreadWindow()->isVisible());
}

TEST_F(SpreadHelpers, GetSpreadTextAddressesActiveCellAndHeaders) {
    fill(g, 3, 3);
    g.setActiveCell(3, 2);
    EXPECT_EQ(GetSpreadText(&g, -2, -2), QStringLiteral("2-3"));
    EXPECT_EQ(GetSpreadText(&g, 1, -2), QStringLiteral("2-1"));
    EXPECT_EQ(GetSpreadText(&g, -2, 1), QStringLiteral("1-3"));
    EXPECT_EQ(GetSpreadText(&g, 2, -1000), QStringLiteral("제목2"));
    g.setText(1, 1, QString());
    EXPECT_EQ(GetSpreadText(&g, 1, 1), QString());
    EXPECT_EQ(GetSpreadText(&g, 7, 1), QString());
    SpreadGrid empty;
    EXPECT_EQ(GetSpreadText(&empty, -2, -2), QString());
}

TEST_F(SpreadHelpers, CellHelpers) {
    fill(g, 4, 5);
    SetSpreadNumberCell(&g, 3, -1, 1, true, true, false);
    EXPECT_EQ(g.cellType(3, 4), SpreadGrid::CellType::Number);
    const auto f = g.typeNumber(3, 4);
    EXPECT_EQ(f.decPlaces, 1);
    EXPECT_TRUE(f.showSep);
    EXPECT_TRUE(f.negRed);
    EXPECT_DOUBLE_EQ(f.max, 999999999999.0);
    EXPECT_DOUBLE_EQ(f.min, -999999999999.0);
    EXPECT_EQ(g.typeVAlign(3, 4), SpreadGrid::VAlign::Center);
    EXPECT_EQ(g.typeHAlign(3, 4), SpreadGrid::HAlign::Right);

    LockSpreadCol(&g, 1, true, true);
    EXPECT_TRUE(g.lock(1, 3));
    EXPECT_EQ(g.backColor(1, 3), QColor(225, 225, 225));
    LockSpreadCol(&g, 1, true, false);
    EXPECT_FALSE(g.lock(1, 3));
    EXPECT_EQ(g.backColor(1, 3), QColor(Qt::white));
    LockSpreadCol(&g, 2, false, true);
    EXPECT_FALSE(g.backColor(2, 1).isValid());

    SetSpreadColHidden(&g, 4, true);
    EXPECT_TRUE(g.colHidden(4));

    // Deleting the active row; with shrink the empty rows at the end go.
    g.setMaxRows(7);
    g.setActiveCell(1, 2);
    DeleteSpreadRow(&g, -2, false, false);
    EXPECT_EQ(g.maxRows(), 7);
    EXPECT_EQ(g.dataRowCnt(), 4);
    EXPECT_EQ(g.text(1, 2), QStringLiteral("3-1"));
    DeleteSpreadRow(&g, 1, true, true);
    EXPECT_EQ(g.maxRows(), 3);
    EXPECT_EQ(g.text(1, 1), QStringLiteral("3-1"));
}

TEST(IsNumericText, WholeTextOnly) {
    EXPECT_TRUE(IsNumericText(QStringLiteral(" 12.5 ")));
    EXPECT_FALSE(IsNumericText(QStringLiteral("12a")));
    EXPECT_FALSE(IsNumericText(QString()));
}

}  // namespace
