// The find window: along rows and down columns, wrapping, hidden columns and rows, whole-cell matching, and
// what it remembers between openings.
#include "grid/find_in_spread.h"
#include "grid/grid_fixture.h"
#include "widgets/desktop_look.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {

class FindInSpread : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        g.setMaxCols(4);
        g.setMaxRows(6);
        w = FindInSpreadWindow();
        w->SetFormInit(&g, -1, -1);
        w->txtFindWd->clear();
        w->cboFindDir->setCurrentIndex(0);
        w->chkSameAll->setChecked(false);
    }
    void find(const QString& text) {
        w->txtFindWd->setText(text);
        w->cmdFind->click();
    }
    std::pair<int, int> active() const { return {g.activeCol(), g.activeRow()}; }
    void expectNothingFound() {
        EXPECT_EQ(testDialogs().last().text, QStringLiteral("일치하는 데이터가 없습니다."));
        EXPECT_EQ(testDialogs().last().title, QStringLiteral("검색실패"));
        EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Information);
    }

    SpreadGrid g;
    FrmFindInSpread* w = nullptr;
};

TEST_F(FindInSpread, TheOnlyMatchUnderTheCursorIsNothingFound) {
    g.setText(2, 3, QStringLiteral("사과"));
    g.setActiveCell(2, 3);
    testDialogs().answer(Dialogs::ResultOk);
    find(QStringLiteral("사과"));
    expectNothingFound();
    EXPECT_EQ(active(), std::make_pair(2, 3));

    testDialogs().answer(Dialogs::ResultOk);
    find(QStringLiteral("배"));
    expectNothingFound();
}

TEST_F(FindInSpread, AlongRowsGoesOnAndWrapsBack) {
    g.setText(3, 2, QStringLiteral("xAx"));
    g.setText(1, 5, QStringLiteral("A"));
    g.setActiveCell(3, 2);
    find(QStringLiteral("a"));
    EXPECT_EQ(active(), std::make_pair(1, 5));
    find(QStringLiteral("a"));
    EXPECT_EQ(active(), std::make_pair(3, 2));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(FindInSpread, AlongRowsReachesTheLastRow) {
    g.setText(4, 6, QStringLiteral("끝줄"));
    g.setActiveCell(1, 2);
    find(QStringLiteral("끝"));
    EXPECT_EQ(active(), std::make_pair(4, 6));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(FindInSpread, DownColumnsGoesOnAndWrapsBack) {
    w->cboFindDir->setCurrentIndex(1);
    g.setText(2, 5, QStringLiteral("감자"));
    g.setText(4, 1, QStringLiteral("감자칩"));
    g.setText(1, 6, QStringLiteral("감자"));
    g.setActiveCell(2, 2);
    find(QStringLiteral("감자"));
    EXPECT_EQ(active(), std::make_pair(2, 5));
    find(QStringLiteral("감자"));
    EXPECT_EQ(active(), std::make_pair(4, 1));
    find(QStringLiteral("감자"));
    EXPECT_EQ(active(), std::make_pair(1, 6));
}

TEST_F(FindInSpread, HiddenColumnsAreSkippedHiddenRowsAreNot) {
    g.setText(2, 1, QStringLiteral("key"));
    g.setText(4, 1, QStringLiteral("key"));
    g.setText(3, 4, QStringLiteral("key"));
    g.setColHidden(2, true);
    g.setRowHidden(4, true);
    g.setActiveCell(1, 1);
    find(QStringLiteral("key"));
    EXPECT_EQ(active(), std::make_pair(4, 1));
    find(QStringLiteral("key"));
    EXPECT_EQ(active(), std::make_pair(3, 4));
    find(QStringLiteral("key"));
    EXPECT_EQ(active(), std::make_pair(4, 1));

    // Down columns, the hidden column is passed over as well.
    w->cboFindDir->setCurrentIndex(1);
    g.setActiveCell(1, 1);
    find(QStringLiteral("key"));
    EXPECT_EQ(active(), std::make_pair(3, 4));
}

TEST_F(FindInSpread, WholeCellMatchOnlyWhenTicked) {
    g.setText(2, 2, QStringLiteral("AB"));
    g.setActiveCell(1, 1);
    w->chkSameAll->setChecked(true);
    testDialogs().answer(Dialogs::ResultOk);
    find(QStringLiteral("A"));
    expectNothingFound();
    w->chkSameAll->setChecked(false);
    find(QStringLiteral("A"));
    EXPECT_EQ(active(), std::make_pair(2, 2));
}

TEST_F(FindInSpread, RemembersTextDirectionAndMatchBetweenOpenings) {
    w->show();
    w->txtFindWd->setText(QStringLiteral("두부"));
    w->cboFindDir->setCurrentIndex(1);
    w->chkSameAll->setChecked(true);
    w->cmdClose->click();
    EXPECT_FALSE(w->isVisible());

    w->txtFindWd->clear();
    w->cboFindDir->setCurrentIndex(0);
    w->chkSameAll->setChecked(false);
    w->SetFormInit(&g, -1, -1);
    w->show();
    EXPECT_EQ(w->txtFindWd->text(), QStringLiteral("두부"));
    EXPECT_EQ(w->cboFindDir->currentIndex(), 1);
    EXPECT_TRUE(w->chkSameAll->isChecked());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("찾기"));
    EXPECT_EQ(w->cboFindDir->itemText(0), QStringLiteral("행(가로방향)"));
    w->close();
}

// The program's one screen font reaches the find window and its fields, for Latin letters and Hangul alike.
TEST_F(FindInSpread, UsesTheProgramsScreenFont) {
    applyDesktopLook();
    QApplication::processEvents();  // a window that already exists takes the new font through a posted event
    for (const QWidget* c :
         {static_cast<const QWidget*>(w), static_cast<const QWidget*>(w->txtFindWd),
          static_cast<const QWidget*>(w->cboFindDir), static_cast<const QWidget*>(w->cmdFind)})
        EXPECT_EQ(QFontInfo(c->font()).family(), QStringLiteral("NanumGothic"))
            << c->metaObject()->className();
}

}  // namespace
