// The login window against the test server: remembered identifier and password, the first-login hint,
// the three attempts, admission and the hand-over to the intro notice and the main window.
#include "startup/frm_login.h"

#include "common/codecs.h"
#include "db/mysql_func.h"
#include "platform/settings_store.h"
#include "startup/frm_intro_msg.h"
#include "startup/session.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"
#include "support/widget_input.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kConfig = QStringLiteral("Config");

void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        sendKey(widget, c.isLetter() ? int(c.toUpper().unicode()) : 0, Qt::NoModifier, QString(c));
}

QString config(const QString& key) {
    return settings::get(QStringLiteral("펠로라푸드주문서"), kConfig, key, QStringLiteral("<none>"));
}
void setConfig(const QString& key, const QString& value) {
    settings::save(QStringLiteral("펠로라푸드주문서"), kConfig, key, value);
}

class LoginTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* key : {"RecentID", "SavePWD", "passwd", "NoMsg"})
            settings::remove(QStringLiteral("펠로라푸드주문서"), kConfig, QString::fromLatin1(key));
        testdb::truncate({QStringLiteral("local_user")});
        // ADMIN has no password yet; NOPASS's password is NULL; kim is stored in small letters with a
        // password holding an apostrophe; GUEST is not admitted (branch 1).
        testdb::exec(QStringLiteral(
            "INSERT INTO local_user (code, loginid, loginpwd, c_buyer, local_name, branch) VALUES "
            "(1, 'ADMIN', '', 11, '관리자', 2), (2, 'NOPASS', NULL, 12, '널암호', 2), "
            "(3, 'kim', 'it''s 똠', 13, '김민준', 2), (4, 'GUEST', '1234', 14, '손님', 1)"));
        ASSERT_TRUE(testdb::openSession());
        LoginID.clear();
        BuyerCode = 0;
        // The intro notice stays off unless a test turns it on.
        setConfig(QStringLiteral("NoMsg"), QStringLiteral("1"));
    }
    void TearDown() override {
        window.reset();
        DBClose();
    }

    FrmLogin& open() {
        window = std::make_unique<FrmLogin>([this] { ++mainShown; }, [this] { ++programEnded; });
        showActive(window.get());
        EXPECT_TRUE(window->isActiveWindow());
        return *window;
    }
    // Replaces the identifier as a user types it, leaving the box afterwards.
    void typeUser(const QString& text) {
        window->txtUser()->setFocus();
        window->txtUser()->selectAll();
        typeText(window->txtUser(), text);
        window->txtPass()->setFocus();
    }
    void typePassword(const QString& text) {
        window->txtPass()->setFocus();
        window->txtPass()->selectAll();
        typeText(window->txtPass(), text);
    }
    void pressEnterInPassword() {
        sendKey(window->txtPass(), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    }

    std::unique_ptr<FrmLogin> window;
    int mainShown = 0;
    int programEnded = 0;
};

const QString kMismatch = QStringLiteral(
    "유저명과 암호가 일치하지 않습니다.\r\n\r\n존재하지 않는 유저명이거나,\r\n암호가 잘못 "
    "입력되었습니다.\r\n\r\n"
    "※최초 접속인 경우, 암호란을 비우고 엔터키를 치세요.");

TEST_F(LoginTest, FirstLoginShowsTheHintInClearAndEnterLogsInWithTheEmptyPassword) {
    FrmLogin& w = open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("펠로라푸드주문서 로그인"));
    EXPECT_EQ(w.txtUser()->text(), QStringLiteral("ADMIN"));
    EXPECT_TRUE(w.HintShown());
    EXPECT_EQ(w.txtPass()->text(), QStringLiteral("엔터를 치세요"));
    EXPECT_EQ(w.txtPass()->echoMode(), QLineEdit::Normal);

    pressEnterInPassword();
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(mainShown, 1);
    EXPECT_EQ(programEnded, 0);
    EXPECT_EQ(LoginID, QStringLiteral("ADMIN"));
    EXPECT_EQ(BuyerCode, 11);
    EXPECT_FALSE(w.isVisible());
    // The identifier was not changed, so nothing is remembered.
    EXPECT_EQ(config(QStringLiteral("RecentID")), QStringLiteral("<none>"));
}

TEST_F(LoginTest, ChangingTheIdentifierMasksAndEmptiesTheHint) {
    FrmLogin& w = open();
    ASSERT_TRUE(w.HintShown());
    typeUser(QStringLiteral("kim"));
    EXPECT_EQ(w.txtUser()->text(), QStringLiteral("KIM"));
    EXPECT_FALSE(w.HintShown());
    EXPECT_EQ(w.txtPass()->text(), QString());
    EXPECT_EQ(w.txtPass()->echoMode(), QLineEdit::Password);
}

TEST_F(LoginTest, SmallLettersAndAnApostropheInThePasswordMatchTheStoredAccount) {
    open();
    typeUser(QStringLiteral("kim"));
    typePassword(QStringLiteral("it's 똠"));
    pressEnterInPassword();
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(mainShown, 1);
    EXPECT_EQ(LoginID, QStringLiteral("KIM"));
    EXPECT_EQ(BuyerCode, 13);
    EXPECT_EQ(config(QStringLiteral("RecentID")), QStringLiteral("KIM"));
    // The password was not to be remembered.
    EXPECT_EQ(config(QStringLiteral("passwd")), QStringLiteral("<none>"));
}

TEST_F(LoginTest, ANullPasswordShowsTheHintButDoesNotMatchTheEmptyPassword) {
    setConfig(QStringLiteral("RecentID"), QStringLiteral("NOPASS"));
    FrmLogin& w = open();
    EXPECT_TRUE(w.HintShown());
    testDialogs().answer(Dialogs::ResultOk);
    pressEnterInPassword();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().last().text, kMismatch);
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Information);
    EXPECT_EQ(w.Attempts(), 1);
    EXPECT_EQ(mainShown, 0);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(LoginTest, ThreeFailuresEndTheProgramAfterTwoMismatchBoxesAndTheLimitBox) {
    FrmLogin& w = open();
    typeUser(QStringLiteral("KIM"));
    for (int i = 0; i < 3; ++i) testDialogs().answer(Dialogs::ResultOk);
    for (int i = 0; i < 3; ++i) {
        typePassword(QStringLiteral("wrong"));
        pressEnterInPassword();
    }
    ASSERT_EQ(testDialogs().boxes().size(), 3);
    EXPECT_EQ(testDialogs().boxes()[0].text, kMismatch);
    EXPECT_EQ(testDialogs().boxes()[1].text, kMismatch);
    EXPECT_EQ(testDialogs().boxes()[2].text,
              QStringLiteral("암호입력 제한 횟수를 초과하여, 프로그램이 종료됩니다."));
    EXPECT_EQ(testDialogs().boxes()[2].title, QStringLiteral("펠로라푸드주문서"));
    EXPECT_EQ(programEnded, 1);
    EXPECT_EQ(mainShown, 0);
    EXPECT_EQ(DBConn(), nullptr) << "the session must be closed";
    EXPECT_FALSE(w.isVisible());
}

TEST_F(LoginTest, AnEmptyIdentifierIsRefusedWithoutCountingAnAttempt) {
    FrmLogin& w = open();
    typeUser(QStringLiteral(" "));
    testDialogs().answer(Dialogs::ResultOk);
    w.btnLogin()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("사용자 ID를 입력하세요."));
    EXPECT_EQ(w.Attempts(), 0);
}

TEST_F(LoginTest, ARememberedPasswordIsSavedWhenTypedAndFilledInAtTheNextStart) {
    setConfig(QStringLiteral("RecentID"), QStringLiteral("GUEST"));
    testdb::exec(QStringLiteral("UPDATE local_user SET branch = 2 WHERE loginid = 'GUEST'"));
    FrmLogin& w = open();
    EXPECT_FALSE(w.HintShown());
    w.chkSavePwd()->click();
    EXPECT_EQ(config(QStringLiteral("SavePWD")), QStringLiteral("1"));
    typePassword(QStringLiteral("1234"));
    pressEnterInPassword();
    ASSERT_EQ(mainShown, 1);
    EXPECT_EQ(config(QStringLiteral("passwd")), QStringLiteral("MTIzNA=="));
    EXPECT_EQ(DecodeStr(config(QStringLiteral("passwd"))), QStringLiteral("1234"));

    // The next start fills the box; logging in without retyping does not save it again.
    setConfig(QStringLiteral("passwd"), EncodeStr(QStringLiteral("1234")));
    ASSERT_TRUE(testdb::openSession());
    FrmLogin& again = open();
    EXPECT_TRUE(again.chkSavePwd()->isChecked());
    EXPECT_EQ(again.txtPass()->text(), QStringLiteral("1234"));
    settings::save(QStringLiteral("펠로라푸드주문서"), kConfig, QStringLiteral("passwd"),
                   QStringLiteral("MTIzNA"));
    again.btnLogin()->click();
    EXPECT_EQ(mainShown, 2);
    EXPECT_EQ(config(QStringLiteral("passwd")), QStringLiteral("MTIzNA"));
}

TEST_F(LoginTest, CheckingSaveWhileTheHintShowsSavesAnEmptyPassword) {
    FrmLogin& w = open();
    ASSERT_TRUE(w.HintShown());
    testDialogs().answer(Dialogs::ResultOk);  // the codec's report: the hint is no single-byte text
    w.chkSavePwd()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_TRUE(testDialogs().last().text.contains(QStringLiteral("EncodeStr")));
    EXPECT_EQ(config(QStringLiteral("SavePWD")), QStringLiteral("1"));
    EXPECT_EQ(config(QStringLiteral("passwd")), QString());
}

TEST_F(LoginTest, AnAcceptedPasswordOfAUserWhoIsNotAdmittedEndsTheProgram) {
    FrmLogin& w = open();
    typeUser(QStringLiteral("GUEST"));
    typePassword(QStringLiteral("1234"));
    testDialogs().answer(Dialogs::ResultOk);
    pressEnterInPassword();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("승인된 사용자가 아닙니다."));
    EXPECT_EQ(programEnded, 1);
    EXPECT_EQ(mainShown, 0);
    EXPECT_EQ(DBConn(), nullptr);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(LoginTest, EscapeAsksAndNoKeepsTheWindow) {
    FrmLogin& w = open();
    testDialogs().answer(Dialogs::ResultNo);
    sendKey(w.txtUser(), Qt::Key_Escape);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("프로그램을 종료하시겠습니까?"));
    EXPECT_EQ(testDialogs().last().defaultButton, 1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(programEnded, 0);

    testDialogs().answer(Dialogs::ResultYes);
    sendKey(w.txtPass(), Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(programEnded, 1);
    EXPECT_EQ(mainShown, 0);
    EXPECT_EQ(DBConn(), nullptr);
}

TEST_F(LoginTest, TheIntroNoticeShowsAfterEveryLoginUntilItIsTurnedOff) {
    settings::remove(QStringLiteral("펠로라푸드주문서"), kConfig, QStringLiteral("NoMsg"));
    // Closes the notice when it is up: with its close button, or for good with "더이상 보지않기".
    int noticesShown = 0;
    auto closeNoticeWith = [&](bool forGood) {
        QTimer::singleShot(0, [&, forGood] {
            auto* intro = qobject_cast<frmIntroMsg*>(QApplication::activeModalWidget());
            ASSERT_NE(intro, nullptr);
            ++noticesShown;
            if (forGood)
                intro->Check1()->click();
            else
                intro->btnClose()->click();
        });
    };
    for (bool forGood : {false, true}) {
        ASSERT_TRUE(testdb::openSession());
        open();
        closeNoticeWith(forGood);
        pressEnterInPassword();
        EXPECT_EQ(mainShown, forGood ? 2 : 1);
    }
    EXPECT_EQ(noticesShown, 2);
    EXPECT_EQ(config(QStringLiteral("NoMsg")), QStringLiteral("1"));

    ASSERT_TRUE(testdb::openSession());
    open();
    pressEnterInPassword();
    EXPECT_EQ(mainShown, 3);
    EXPECT_EQ(noticesShown, 2);
}

}  // namespace
