// The three message boxes and the procedure error report: look, results, and the focus coming back.
#include "common/msgbox.h"
#include "platform/app_error.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(MsgBox, QuestionDefaultButtonFollowsTheFlag) {
    testDialogs().answerDefault();
    EXPECT_EQ(ShowQuestionMsg(QStringLiteral("계속?"), QString(), false), kNo);
    EXPECT_EQ(testDialogs().last().defaultButton, 2);
    testDialogs().answerDefault();
    EXPECT_EQ(ShowQuestionMsg(QStringLiteral("계속?"), QStringLiteral("프로그램 종료"), true), kYes);
    EXPECT_EQ(testDialogs().last().defaultButton, 1);
    EXPECT_EQ(testDialogs().last().title, QStringLiteral("프로그램 종료"));
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Question);
    EXPECT_EQ(testDialogs().last().buttons, Dialogs::Buttons::YesNo);
}

TEST(MsgBox, InfoWithoutTitleUsesTheApplicationTitle) {
    testDialogs().answer(Dialogs::ResultOk);
    ShowInfoMsg(QStringLiteral("완료"));
    EXPECT_EQ(testDialogs().last().title, QStringLiteral("펠로라푸드주문서"));
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Information);
}

TEST(MsgBox, ErrorAndProcedureReports) {
    const AppError error(13, QStringLiteral("x"), QStringLiteral("Type mismatch"));
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_EQ(ShowErrorMsg(QStringLiteral("프로그램 수행도중 오류가 발생했습니다."), error), 0);
    EXPECT_EQ(testDialogs().last().text,
              QStringLiteral(
                  "프로그램 수행도중 오류가 발생했습니다.\r\n오류번호 : 13\r\n오류내용 : Type mismatch"));
    EXPECT_EQ(testDialogs().last().title, QStringLiteral("오류"));
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Exclamation);

    testDialogs().answer(Dialogs::ResultOk);
    ShowProcError(QStringLiteral("ShowPopupMenu"), QStringLiteral("ModWinApi"), error);
    EXPECT_EQ(testDialogs().last().text,
              QStringLiteral("Error 13 (Type mismatch) in procedure ShowPopupMenu of Module ModWinApi"));
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::None);
    testDialogs().answer(Dialogs::ResultOk);
    ShowProcError(QStringLiteral("EncodeStr"), QString(), error);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("Error 13 (Type mismatch) in procedure EncodeStr"));
}

TEST(MsgBox, FocusReturnsToTheControlThatHadIt) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    window.show();
    QApplication::setActiveWindow(&window);
    first->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), first);

    // Something moves the focus while the box is open; closing the box brings it back.
    testDialogs().whileShown([&](const ScriptedDialogs::Box&) { second->setFocus(); });
    testDialogs().answer(Dialogs::ResultOk);
    ShowInfoMsg(QStringLiteral("알림"));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), first);

    // A control hidden meanwhile is left alone.
    testDialogs().whileShown([&](const ScriptedDialogs::Box&) {
        second->setFocus();
        first->hide();
    });
    testDialogs().answer(Dialogs::ResultYes);
    EXPECT_EQ(ShowQuestionMsg(QStringLiteral("?")), kYes);
}

}  // namespace
