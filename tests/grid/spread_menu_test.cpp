// The grid's context menu, answered through scripted input boxes, and what it stores in the layout file.
#include "grid/spread_menu.h"
#include "grid/form_ini.h"
#include "grid/grid_fixture.h"
#include "platform/ini_file.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QWidget>

namespace {

class SpreadMenu : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        window.setObjectName(QStringLiteral("frmMain"));
        sp = new SpreadGrid(&window);
        fill(*sp, 3, 10);
    }
    QString stored(const QString& key) const {
        return ini_file::read(FormIniPath(QStringLiteral("frmMain")), QStringLiteral("spList_General"), key);
    }
    QList<int> greenRows() const {
        QList<int> rows;
        for (int r = 1; r <= sp->maxRows(); ++r)
            if (sp->backColor(-1, r) == QColor(0, 255, 0)) rows << r;
        return rows;
    }

    QWidget window;
    SpreadGrid* sp = nullptr;
};

TEST_F(SpreadMenu, ItemsInOrderAndTheRowNumberEntryOnlyWithRowHeaders) {
    testDialogs().answerMenu(0);
    SpreadPopupMenu(&window, sp, QString());
    const auto& items = testDialogs().last().items;
    QStringList shown;
    for (const auto& i : items)
        shown << (i.isSeparator() ? QStringLiteral("-")
                                  : QStringLiteral("%1 %2").arg(i.command).arg(i.caption));
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("8 구분선 표시"), QStringLiteral("9 그리드 줄번호 넓이 변경"),
                           QStringLiteral("-"), QStringLiteral("1 그리드 【줄높이】변경"),
                           QStringLiteral("2 【글자크기】       변경"), QStringLiteral("-"),
                           QStringLiteral("3 폼 및 그리드 설정【초기화】"), QStringLiteral("-"),
                           QStringLiteral("6 【소계】숨김/보기"), QStringLiteral("7 【소계만】보기/해제"),
                           QStringLiteral("-"), QStringLiteral("0 메    뉴      닫    기")}));

    sp->setRowHeadersShow(false);
    testDialogs().answerMenu(0);
    SpreadPopupMenu(&window, sp, QString());
    for (const auto& i : testDialogs().last().items) EXPECT_NE(i.command, 9);
    EXPECT_EQ(testDialogs().last().items.size(), 11);
}

TEST_F(SpreadMenu, RowHeightAsksAgainOutOfRangeAndStoresTheAnswer) {
    sp->setRowHeight(-1, 12);
    testDialogs().answerMenu(1);
    testDialogs().answerInput(QStringLiteral("350"));
    testDialogs().answerInput(QStringLiteral("8"));
    SpreadPopupMenu(&window, sp, QString());
    const auto& ask = testDialogs().boxes().at(1);
    EXPECT_EQ(ask.title, QStringLiteral("그리드의 줄높이 변경"));
    EXPECT_EQ(ask.text, QStringLiteral("변경할 그리드의 줄높이를 입력하세요.(입력범위: 8~300, 0:기본값)"));
    EXPECT_EQ(ask.defaultText, QStringLiteral("12"));
    EXPECT_EQ(testDialogs().boxes().size(), 3);  // the menu and two input boxes
    EXPECT_DOUBLE_EQ(sp->rowHeight(-1), 8);
    EXPECT_DOUBLE_EQ(sp->rowHeight(0), 10);
    EXPECT_EQ(stored(QStringLiteral("RowHeight")), QStringLiteral("8"));

    // 0 leaves the rows as they are and stores "0".
    testDialogs().answerMenu(1);
    testDialogs().answerInput(QStringLiteral("0"));
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_DOUBLE_EQ(sp->rowHeight(-1), 8);
    EXPECT_EQ(stored(QStringLiteral("RowHeight")), QStringLiteral("0"));

    // The current height, or Cancel, ends the command without storing.
    testDialogs().answerMenu(1);
    testDialogs().answerInput(QStringLiteral("8"));
    SpreadPopupMenu(&window, sp, QString());
    testDialogs().answerMenu(1);
    testDialogs().answerInput(QString());
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_EQ(stored(QStringLiteral("RowHeight")), QStringLiteral("0"));
}

TEST_F(SpreadMenu, FontSizeAsksAgainOutOfRangeAndStoresTheAnswer) {
    sp->setFontSize(-1, -1, 9);
    testDialogs().answerMenu(2);
    testDialogs().answerInput(QStringLiteral("61"));
    testDialogs().answerInput(QStringLiteral("0"));
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_EQ(testDialogs().boxes().at(1).title, QStringLiteral("그리드내 글자크기 변경"));
    EXPECT_EQ(testDialogs().boxes().at(1).text,
              QStringLiteral("변경할 글자의 크기를 입력하세요.(입력범위: 8~60, 0:기본값)"));
    EXPECT_EQ(testDialogs().boxes().at(1).defaultText, QStringLiteral("9"));
    EXPECT_EQ(testDialogs().boxes().size(), 3);
    EXPECT_DOUBLE_EQ(sp->fontSize(1, 1), 9);
    EXPECT_EQ(stored(QStringLiteral("FontSize")), QStringLiteral("0"));

    testDialogs().answerMenu(2);
    testDialogs().answerInput(QStringLiteral("20"));
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_DOUBLE_EQ(sp->fontSize(1, 1), 20);
    EXPECT_DOUBLE_EQ(sp->fontSize(2, 7), 20);
    EXPECT_DOUBLE_EQ(sp->fontSize(1, 0), 20);
    EXPECT_EQ(stored(QStringLiteral("FontSize")), QStringLiteral("20"));
    // The rows and the header grew with the letters, so they are not cut off.
    const int letters = QFontMetrics(sp->font()).height();
    EXPECT_GE(sp->verticalHeader()->sectionSize(0), letters);
    EXPECT_GE(sp->verticalHeader()->sectionSize(9), letters);
    EXPECT_GE(sp->horizontalHeader()->height(), letters);
}

TEST_F(SpreadMenu, SeparatorLinesEveryNthRowReplaceTheEarlierOnes) {
    testDialogs().answerMenu(8);
    testDialogs().answerInput(QStringLiteral("3"));
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_EQ(testDialogs().boxes().at(1).defaultText, QStringLiteral("5"));
    EXPECT_EQ(testDialogs().boxes().at(1).text,
              QStringLiteral("몇줄마다 구분선을 표시하시겠습니까?\r\n\r\n가능범위: 2 ~ 10000"));
    EXPECT_EQ(testDialogs().boxes().at(1).title, QStringLiteral("펠로라푸드주문서"));
    EXPECT_EQ(greenRows(), (QList<int>{3, 6, 9}));

    // A wrong answer is explained and asked again, offering what was typed.
    testDialogs().answerMenu(8);
    testDialogs().answerInput(QStringLiteral("abc"));
    testDialogs().answer(Dialogs::ResultOk);
    testDialogs().answerInput(QStringLiteral("1"));
    testDialogs().answer(Dialogs::ResultOk);
    testDialogs().answerInput(QStringLiteral("4"));
    SpreadPopupMenu(&window, sp, QString());
    const auto& boxes = testDialogs().boxes();
    EXPECT_EQ(boxes.at(boxes.size() - 4).text,
              QStringLiteral("입력값이 숫자가 아닙니다. 다시 입력해 주십시요."));
    EXPECT_EQ(boxes.at(boxes.size() - 3).defaultText, QStringLiteral("abc"));
    EXPECT_EQ(boxes.at(boxes.size() - 2).text,
              QStringLiteral("입력값이 범위를 벗어났습니다. 다시 입력해 주십시요."));
    EXPECT_EQ(greenRows(), (QList<int>{4, 8}));
    EXPECT_EQ(sp->backColor(-1, 3), QColor(Qt::white));
    EXPECT_FALSE(QFileInfo::exists(dataDir() + QStringLiteral("/FormIni")));  // nothing stored
}

TEST_F(SpreadMenu, SubtotalEntriesFlipTheirRowsAndTwiceRestore) {
    sp->setCellTag(0, 2, QStringLiteral("subtot"));
    sp->setCellTag(0, 4, QStringLiteral("subtot"));
    sp->setCellTag(0, 10, QStringLiteral("gndtot"));
    sp->setRowHidden(5, true);  // hidden before: flipped like the others
    auto hidden = [&] {
        QList<int> rows;
        for (int r = 1; r <= sp->maxRows(); ++r)
            if (sp->rowHidden(r)) rows << r;
        return rows;
    };
    testDialogs().answerMenu(6);
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_EQ(hidden(), (QList<int>{2, 4, 5}));
    EXPECT_TRUE(sp->reDraw());
    testDialogs().answerMenu(6);
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_EQ(hidden(), (QList<int>{5}));

    testDialogs().answerMenu(7);
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_EQ(hidden(), (QList<int>{1, 3, 6, 7, 8, 9}));
    testDialogs().answerMenu(7);
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_EQ(hidden(), (QList<int>{5}));
}

TEST_F(SpreadMenu, RowNumberWidthAsksWithinOneToNine) {
    sp->setColWidth(0, 4.6);
    testDialogs().answerMenu(9);
    testDialogs().answerInput(QStringLiteral("12"));
    testDialogs().answerInput(QStringLiteral("abc"));  // read as 0: outside the range too
    testDialogs().answerInput(QStringLiteral("6"));
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_EQ(testDialogs().boxes().at(1).defaultText, QStringLiteral("4"));
    EXPECT_EQ(testDialogs().boxes().at(1).title, QStringLiteral("그리드 줄번호 넓이 변경"));
    EXPECT_DOUBLE_EQ(sp->colWidth(0), 6);
    EXPECT_FALSE(QFileInfo::exists(dataDir() + QStringLiteral("/FormIni")));
}

TEST_F(SpreadMenu, ResetDeletesTheLayoutFileAfterTheQuestion) {
    SaveSpreadIni_Gn(&window, sp, QStringLiteral("FontSize"), QStringLiteral("12"));
    const QString path = FormIniPath(QStringLiteral("frmMain"));
    ASSERT_TRUE(QFileInfo::exists(path));

    testDialogs().answerMenu(3);
    testDialogs().answer(Dialogs::ResultNo);
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(
        testDialogs().last().text,
        QStringLiteral(
            "해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이\r\n\r\n, 줄높이, 글자크기등이 모두 초기화 "
            "됩니다.\r\n\r\n초기화 하시겠습니까?"));
    EXPECT_EQ(testDialogs().last().defaultButton, 1);

    testDialogs().answerMenu(3);
    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultOk);
    SpreadPopupMenu(&window, sp, QString());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(testDialogs().last().text,
              QStringLiteral("초기화를 완료하였습니다.\r\n\r\n현재창을 닫고 다시 열어 주셔야 "
                             "초기화된 형태가 제대로 보여집니다."));
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Information);
}

}  // namespace
