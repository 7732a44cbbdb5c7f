// The label command: the order lines of the selected direction become label rows, and the label window
// opens modally over the main window.
#include "labels/fb_print_label.h"
#include "orders_fixture.h"

#include <QPushButton>
#include <QTimer>

using namespace orders_test;

namespace {

class LabelCommandTest : public OrdersTest {
protected:
    // Presses 라벨출력 and, while the label window is open, reads its rows; then closes it.
    QList<QStringList> pressLabelButton(bool* wasModal = nullptr, int* openedAtRow = nullptr) {
        QList<QStringList> rows;
        QTimer::singleShot(0, [&] {
            auto* labels = qobject_cast<fBPrintLabel*>(QApplication::activeModalWidget());
            if (!labels) {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* l = qobject_cast<fBPrintLabel*>(w); l && l->isVisible()) labels = l;
                for (QWidget* w : window->findChildren<fBPrintLabel*>())
                    if (w->isVisible()) labels = static_cast<fBPrintLabel*>(w);
            }
            ASSERT_NE(labels, nullptr);
            if (wasModal) *wasModal = labels->isModal();
            if (openedAtRow) *openedAtRow = labels->spList()->activeRow();
            SpreadGrid* g = labels->spList();
            for (int r = 1; r <= g->maxRows(); ++r) {
                QStringList texts;
                for (int c = 2; c <= 11; ++c) texts << g->text(c, r);
                rows << texts;
            }
            labels->close();
        });
        window->btnLabelPrint()->click();
        return rows;
    }
};

}  // namespace

TEST_F(LabelCommandTest, FillsOneLabelPerOrderLineSplitByTheLabelUnitAndShowsTheWindowModally) {
    testdb::execAll({
        QStringLiteral("UPDATE t_buyer SET prnlistbyte = 1023"),
        QStringLiteral(
            "UPDATE t_product SET origin = '국산', keepway = '냉장', labelunit = '4' WHERE code = 1"),
    });
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    window->spListO()->setActiveCell(1, int(listedCodes().indexOf(QStringLiteral("11"))) + 1);
    ASSERT_EQ(column(window->spList(), 7), (QStringList{"101", "102", "104"}));

    bool modal = false;
    int openedAtRow = 0;
    const QList<QStringList> rows = pressLabelButton(&modal, &openedAtRow);
    EXPECT_TRUE(modal);
    EXPECT_EQ(openedAtRow, 1);
    const QString date = QStringLiteral("2030년 05월 10일");
    // Line 101: 10 kg of product 1 with label unit 4, then 102 (대파 5 단) and 104 (양파 2 망), then the
    // blank entry row with the date of the row above.
    const QList<QStringList> expected = {
        {"한빛초등학교", "양파", "4kg/10kg", "국산", "냉장", date, "", "1호차", "", ""},
        {"한빛초등학교", "양파", "4kg/10kg", "국산", "냉장", date, "", "1호차", "", ""},
        {"한빛초등학교", "양파", "2kg/10kg", "국산", "냉장", date, "", "1호차", "", ""},
        {"똠방각하 분식", "대파", "5단", "", "", date, "", "", "", ""},
        {"한빛초등학교", "양파", "2망", "", "", date, "", "1호차", "", ""},
        {"", "", "", "", "", date, "", "", "", ""},
    };
    EXPECT_EQ(rows, expected);
}

TEST_F(LabelCommandTest, WithoutOrderLinesTheWindowOpensWithOnlyTheEntryRow) {
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    window->spListO()->setActiveCell(1, int(listedCodes().indexOf(QStringLiteral("12"))) + 1);
    ASSERT_EQ(window->spList()->maxRows(), 0);
    const QList<QStringList> rows = pressLabelButton();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].join(QString()), TodayLabelDate());
}
