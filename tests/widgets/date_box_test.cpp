// The date box as a user types into it: free typing in several forms, Enter and Tab take the date, an
// impossible date is refused with a hint and the old date kept, keys step the date a day.
#include "widgets/date_box.h"

#include "support/scripted_dialogs.h"
#include "support/widget_input.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

class DateBoxTest : public testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        box = new DateBox(&window);
        next = new QLineEdit(&window);
        layout->addWidget(box);
        layout->addWidget(next);
        box->setDate(QDate(2026, 12, 11));
        showActive(&window);
        box->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    QLineEdit* edit() const { return box->lineEdit(); }
    // Types characters one by one, as a keyboard does.
    void type(const QString& text) {
        for (const QChar c : text) sendKey(edit(), c.toUpper().unicode(), Qt::NoModifier, QString(c));
    }
    // Clears the box the way a user does: select all, then Backspace.
    void clear() {
        sendKey(edit(), Qt::Key_A, Qt::ControlModifier);
        sendKey(edit(), Qt::Key_Backspace);
    }

    QWidget window;
    DateBox* box = nullptr;
    QLineEdit* next = nullptr;
};

TEST_F(DateBoxTest, TypedDatesCountAfterEnterOrTab) {
    const int year = QDate::currentDate().year();
    struct Case {
        QString typed;
        int key;
        QDate expected;
    };
    const Case cases[] = {
        {QStringLiteral("20261211"), Qt::Key_Return, QDate(2026, 12, 11)},
        {QStringLiteral("20270105"), Qt::Key_Return, QDate(2027, 1, 5)},
        {QStringLiteral("2026-12-24"), Qt::Key_Enter, QDate(2026, 12, 24)},
        {QStringLiteral("2026.12.31"), Qt::Key_Tab, QDate(2026, 12, 31)},
        {QStringLiteral("12-11"), Qt::Key_Return, QDate(year, 12, 11)},
        {QStringLiteral("1211"), Qt::Key_Tab, QDate(year, 12, 11)},
    };
    for (const Case& c : cases) {
        box->setDate(QDate(2000, 1, 1));
        box->setFocus(Qt::TabFocusReason);
        clear();
        EXPECT_EQ(edit()->text(), QString()) << "Ctrl+A and Backspace empty the box";
        type(c.typed);
        EXPECT_EQ(edit()->text(), c.typed);
        sendKey(edit(), c.key);
        EXPECT_EQ(box->date(), c.expected) << c.typed.toStdString();
        EXPECT_EQ(edit()->text(), c.expected.toString(QStringLiteral("yyyy-MM-dd")));
        if (c.key == Qt::Key_Tab) {
            EXPECT_TRUE(next->hasFocus()) << "Tab moves on";
        }
    }
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(DateBoxTest, DigitsTypedIntoTheShownDateReplaceItsDigits) {
    edit()->deselect();
    edit()->setCursorPosition(0);  // clicked in front of the year
    type(QStringLiteral("2027"));
    EXPECT_EQ(edit()->text(), QStringLiteral("2027-12-11"));
    type(QStringLiteral("01"));  // the dash is stepped over
    EXPECT_EQ(edit()->text(), QStringLiteral("2027-01-11"));
    sendKey(edit(), Qt::Key_Return);
    EXPECT_EQ(box->date(), QDate(2027, 1, 11));
}

TEST_F(DateBoxTest, AnImpossibleDateIsRefusedWithAHintAndTheOldDateKept) {
    for (const QString& typed :
         {QStringLiteral("20260230"), QStringLiteral("2026-13-01"), QStringLiteral("abc"), QString()}) {
        testDialogs().reset();
        clear();
        type(typed);
        testDialogs().answer(Dialogs::ResultOk);
        sendKey(edit(), Qt::Key_Tab);
        ASSERT_EQ(testDialogs().boxes().size(), 1) << typed.toStdString();
        EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("입력한 날짜가 올바르지 않습니다: ") +
                                                         typed));
        EXPECT_TRUE(testDialogs().last().text.contains(QStringLiteral("2026-12-11 그대로 둡니다.")));
        EXPECT_EQ(box->date(), QDate(2026, 12, 11));
        EXPECT_EQ(edit()->text(), QStringLiteral("2026-12-11"));
        EXPECT_EQ(edit()->selectedText(), QStringLiteral("2026-12-11")) << "ready for a new try";
        EXPECT_TRUE(edit()->hasFocus()) << "Tab does not leave a refused date";
    }
    // commit() is what the query key runs first: it refuses the same way.
    clear();
    type(QStringLiteral("0230"));
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_FALSE(box->commit());
    EXPECT_EQ(box->date(), QDate(2026, 12, 11));
}

TEST_F(DateBoxTest, KeysStepADayAndEscapeBringsTheDateBack) {
    const struct {
        int key;
        Qt::KeyboardModifiers mods;
        QDate expected;
    } steps[] = {
        {Qt::Key_PageUp, Qt::NoModifier, QDate(2026, 12, 12)},
        {Qt::Key_PageDown, Qt::NoModifier, QDate(2026, 12, 11)},
        {Qt::Key_PageDown, Qt::NoModifier, QDate(2026, 12, 10)},
        {Qt::Key_Right, Qt::ControlModifier, QDate(2026, 12, 11)},
        {Qt::Key_Left, Qt::ControlModifier, QDate(2026, 12, 10)},
    };
    for (const auto& s : steps) {
        sendKey(edit(), s.key, s.mods);
        EXPECT_EQ(box->date(), s.expected);
    }
    // A typed date counts before the step.
    clear();
    type(QStringLiteral("1231"));
    sendKey(edit(), Qt::Key_PageUp);
    EXPECT_EQ(box->date(), QDate(QDate::currentDate().year() + 1, 1, 1));

    clear();
    type(QStringLiteral("99"));
    sendKey(edit(), Qt::Key_Escape);
    EXPECT_EQ(edit()->text(), box->date().toString(QStringLiteral("yyyy-MM-dd")));
}

}  // namespace
