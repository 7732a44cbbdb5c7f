// The list on screen is always the day in the date box: every way the user changes the date or the date
// kind queries at once, and the title says which list is shown.
#include "grid/grid_fixture.h"
#include "orders_fixture.h"
#include "support/shell_recorder.h"
#include "widgets/date_box.h"

#include <QCalendarWidget>
#include <QDir>
#include <QLineEdit>

namespace orders_test {
namespace {

class DateFollowTest : public OrdersTest {
protected:
    QString title() const { return window->windowTitle().section(QStringLiteral(" - "), 1); }
};

TEST_F(DateFollowTest, EachWayOfChangingTheDateOrKindShowsThatDaysList) {
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    ASSERT_EQ(listedCodes(), (QStringList{"11", "12", "13", "17", "18"}));
    DateBox* box = window->hcDate();

    struct Step {
        const char* what;
        std::function<void()> act;
        QString title;
        QStringList codes;
    };
    const Step steps[] = {
        {"PageUp",
         [&] { sendKey(box->lineEdit(), Qt::Key_PageUp); },
         QStringLiteral("납품일 2030-05-11"),
         {"15", "16"}},
        {"PageDown",
         [&] { sendKey(box->lineEdit(), Qt::Key_PageDown); },
         QStringLiteral("납품일 2030-05-10"),
         {"11", "12", "13", "17", "18"}},
        {"typed, Enter",
         [&] {
             box->lineEdit()->setText(QStringLiteral("20300520"));
             sendKey(box->lineEdit(), Qt::Key_Return);
         },
         QStringLiteral("납품일 2030-05-20"),
         {"19"}},
        {"calendar",
         [&] { emit box->calendar()->activated(QDate(2030, 5, 12)); },
         QStringLiteral("납품일 2030-05-12"),
         {"14"}},
        {"date kind",
         [&] {
             window->cmbField()->setCurrentIndex(1);
             emit window->cmbField()->activated(1);
         },
         QStringLiteral("발주일 2030-05-12"),
         {}},
        {"calendar again",
         [&] { emit box->calendar()->activated(QDate(2030, 5, 10)); },
         QStringLiteral("발주일 2030-05-10"),
         {"12", "14", "15", "16"}},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(title(), step.title) << step.what;
        EXPECT_EQ(window->DateText(), step.title.section(QLatin1Char(' '), 1)) << step.what;
        EXPECT_EQ(listedCodes(), step.codes) << step.what;
    }
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

// After the login the focus is on the list: PageDown moves in the list and cannot change the date kind
// unseen (납품일 to 발주일 would make 주문서 print one direction instead of the whole day).
TEST_F(DateFollowTest, FocusStartsOnTheListSoPageDownLeavesTheDateKindAlone) {
    open();
    showActive(window.get());
    EXPECT_EQ(QApplication::focusWidget(), window->spListO());
    sendKey(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(window->cmbField()->currentText(), QStringLiteral("납품일"));
}

TEST_F(DateFollowTest, F8Exports) {
    ShellRecorder shell;
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    testDialogs().answer(Dialogs::ResultYes);
    sendKey(window->spListO(), Qt::Key_F8);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("엑셀로 자료를 내보내기 하시겠습니까?"));
    EXPECT_EQ(QDir(dataDir.path() + QStringLiteral("/ExpExcel")).entryList({QStringLiteral("*.XLS")}).size(),
              1);
}

// Day stepping keeps working: each PageUp steps a day and reads that day's list, whether the focus is in
// the date box or elsewhere in the top row, and the focus stays where the user left it.
TEST_F(DateFollowTest, PageUpStepsADayEveryTimeFromTheDateBoxOrTheTopRow) {
    open();
    showActive(window.get());
    query(QStringLiteral("납품일"), QStringLiteral("2030-04-30"));
    for (QWidget* start :
         {static_cast<QWidget*>(window->hcDate()->lineEdit()), static_cast<QWidget*>(window->cmbField())}) {
        SCOPED_TRACE(start->objectName().toStdString());
        start->setFocus(Qt::MouseFocusReason);
        const QDate first = window->hcDate()->date();
        for (int i = 1; i <= 5; ++i) {
            sendKey(QApplication::focusWidget(), Qt::Key_PageUp);
            const QString day = first.addDays(i).toString(QStringLiteral("yyyy-MM-dd"));
            EXPECT_EQ(window->DateText(), day) << i;
            EXPECT_EQ(title(), QStringLiteral("납품일 ") + day) << i;  // that day's list was read
            EXPECT_EQ(QApplication::focusWidget(), start) << i;
        }
        EXPECT_EQ(window->cmbField()->currentText(), QStringLiteral("납품일"));
    }
    EXPECT_EQ(listedCodes(), (QStringList{"11", "12", "13", "17", "18"}));  // ten days on: 2030-05-10
    // F5 hands the focus to the list, as the query always did.
    sendKey(QApplication::focusWidget(), Qt::Key_F5);
    EXPECT_EQ(QApplication::focusWidget(), window->spListO());
}

}  // namespace
}  // namespace orders_test
