// The first start of a desktop installation: no connection in the settings store and no launcher. The
// connection window connects for real to the test server before anything is written, and the start goes
// on to the login with what it wrote.
#include "common/codecs.h"
#include "db/host_list.h"
#include "db/mysql_func.h"
#include "platform/app_paths.h"
#include "platform/settings_store.h"
#include "startup/frm_connection.h"
#include "startup/mod_main.h"
#include "startup/session.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString kServer = QStringLiteral("서버정보");

QString connectionFile() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QLatin1Char('/') + kConnectionManagerApp +
           QStringLiteral(".ini");
}

class ConnectionWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_emptyProgramFolder.isValid());
        // A desktop installation: no launcher beside the program, no settings yet.
        app_paths::setProgramFolderForTests(m_emptyProgramFolder.path());
        QFile::remove(connectionFile());
        QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + QLatin1Char('/') + kLoginManagerApp +
                      QStringLiteral(".ini"));
    }
    void TearDown() override {
        DestroyApp();
        app_paths::setProgramFolderForTests(QString());
        QFile::remove(connectionFile());
    }
    // The test server over TCP, as a workstation reaches the office's server.
    static void fill(FrmConnection& window, const QString& password) {
        const testdb::Params& p = testdb::params();
        window.txtHost()->setText(QStringLiteral("127.0.0.1"));
        window.txtPort()->setValue(p.port);
        window.txtDatabase()->setText(p.database);
        window.txtUser()->setText(p.user);
        window.txtPassword()->setText(password);
    }
    QTemporaryDir m_emptyProgramFolder;
};

TEST_F(ConnectionWindow, AWrongPasswordIsSaidAndNothingIsWritten) {
    FrmConnection window;
    fill(window, QStringLiteral("not the password"));
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_FALSE(window.TestConnection());
    // The clerk's line first, with the warning icon; the server's number and words below it.
    const QStringList lines = testDialogs().last().text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3) << testDialogs().last().text.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("아이디 또는 비밀번호가 맞지 않습니다")));
    EXPECT_EQ(lines[1], QStringLiteral("오류번호 : 1045"));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("Access denied"))) << lines[2].toStdString();
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Exclamation);

    testDialogs().answer(Dialogs::ResultOk);
    window.btnSave()->click();
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("아이디 또는 비밀번호가 맞지 않습니다")));
    EXPECT_TRUE(testDialogs().last().text.split(QStringLiteral("\r\n"))[0].endsWith(
        QStringLiteral("연결 정보를 저장하지 않았습니다.")));
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(connectionFile()));
}

TEST_F(ConnectionWindow, AGarbledAddressListIsSaidOnceAndNothingIsWritten) {
    const QString lists[] = {QStringLiteral("127.0.0.1,,127.0.0.2"), QStringLiteral("127.0.0.1:70000"),
                             QStringLiteral("127.0.0.1,").repeated(500)};
    for (const QString& list : lists) {
        FrmConnection window;
        fill(window, testdb::params().password);
        window.txtHost()->setText(list);
        testDialogs().answer(Dialogs::ResultOk);
        EXPECT_FALSE(window.TestConnection());
        ASSERT_EQ(testDialogs().boxes().size(), 1);
        EXPECT_EQ(testDialogs().last().text,
                  QStringLiteral("연결 시험에 실패했습니다.\r\n") + ParseHostList(list, 3306).error);
        testDialogs().answer(Dialogs::ResultOk);
        window.btnSave()->click();
        ASSERT_EQ(testDialogs().boxes().size(), 2);
        EXPECT_EQ(testDialogs().last().text,
                  QStringLiteral("연결 정보를 저장하지 않았습니다.\r\n") + ParseHostList(list, 3306).error);
        EXPECT_FALSE(QFile::exists(connectionFile()));
        testDialogs().reset();
    }
}

TEST_F(ConnectionWindow, AListWhoseFirstServerIsDownIsSavedAndTheStartUsesTheNextOne) {
    QTcpServer closed;  // a port where nothing listens any more
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 deadPort = closed.serverPort();
    closed.close();
    const QString list = QStringLiteral("127.0.0.1:%1, 127.0.0.1").arg(deadPort);
    {
        FrmConnection window;
        fill(window, testdb::params().password);
        window.txtHost()->setText(list);
        window.btnSave()->click();  // connects and saves without a box
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    EXPECT_EQ(settings::get(kConnectionManagerApp, kServer, QStringLiteral("IP")), list);
    StartHandOver handOver;
    handOver.showLoginWindow = [] {};
    EXPECT_EQ(AppStart(handOver), StartOutcome::WindowShown);
    EXPECT_EQ(DBServerInUse(), QStringLiteral("127.0.0.1:%1").arg(testdb::params().port));
}

TEST_F(ConnectionWindow, TheRightValuesAreTestedWrittenAsTheStartReadsThemAndTheLoginFollows) {
    const testdb::Params& p = testdb::params();
    // The window is modal inside the start: type into it and save once it shows.
    QTimer::singleShot(0, [this, &p] {
        auto* window = qobject_cast<FrmConnection*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        fill(*window, p.password);
        testDialogs().answer(Dialogs::ResultOk);
        EXPECT_TRUE(window->TestConnection());
        EXPECT_EQ(testDialogs().last().text, QStringLiteral("서버에 연결되었습니다."));
        window->btnSave()->click();
    });
    int loginShown = 0;
    StartHandOver handOver;
    handOver.showLoginWindow = [&] { ++loginShown; };
    handOver.showMainWindow = [] { FAIL() << "a first start goes through the login"; };
    EXPECT_EQ(AppStart(handOver), StartOutcome::WindowShown);
    EXPECT_EQ(loginShown, 1);

    EXPECT_EQ(settings::get(kConnectionManagerApp, kServer, QStringLiteral("서버Type")), QStringLiteral("1"));
    EXPECT_EQ(settings::get(kConnectionManagerApp, kServer, QStringLiteral("IP")),
              QStringLiteral("127.0.0.1"));
    EXPECT_EQ(settings::get(kConnectionManagerApp, kServer, QStringLiteral("Port")), QString::number(p.port));
    EXPECT_EQ(settings::get(kConnectionManagerApp, kServer, QStringLiteral("DB명")), p.database);
    EXPECT_EQ(settings::get(kConnectionManagerApp, kServer, QStringLiteral("ID")), p.user);
    EXPECT_EQ(DecodeStr(settings::get(kConnectionManagerApp, kServer, QStringLiteral("PWD"))), p.password);
    // The session connection was opened from what the window wrote, over TCP at the typed port.
    EXPECT_NE(DBConn(), nullptr);
    EXPECT_EQ(DBPort, p.port);
    // The file reads as a person wrote it.
    QFile f(connectionFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("[서버정보]"));
}

TEST_F(ConnectionWindow, ClosingTheWindowEndsTheStartWithoutWriting) {
    QTimer::singleShot(0, [] {
        if (QWidget* window = QApplication::activeModalWidget()) window->close();
    });
    StartHandOver handOver;
    handOver.showLoginWindow = [] { FAIL() << "no login without a connection"; };
    EXPECT_EQ(AppStart(handOver), StartOutcome::Ended);
    EXPECT_FALSE(QFile::exists(connectionFile()));
}

// A connection handed out by the administrator without its password (IP, Port, DB명 and ID only): the
// first start shows the window filled in from it, the user gives the password once, and it is kept in the
// user's own file, readable by the user alone.
TEST_F(ConnectionWindow, AConnectionHandedOutWithoutItsPasswordAsksForItOnceAndKeepsItPrivate) {
    const testdb::Params& p = testdb::params();
    {
        QFile f(connectionFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[서버정보]\nIP=127.0.0.1\nPort=%1\nDB명=%2\nID=%3\n")
                    .arg(p.port)
                    .arg(p.database, p.user)
                    .toUtf8());
    }
    ASSERT_TRUE(QFile::setPermissions(connectionFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QTimer::singleShot(0, [&p] {
        auto* window = qobject_cast<FrmConnection*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->txtHost()->text(), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(window->txtPort()->value(), p.port);
        EXPECT_EQ(window->txtDatabase()->text(), p.database);
        EXPECT_EQ(window->txtUser()->text(), p.user);
        window->txtPassword()->setText(p.password);
        window->btnSave()->click();
    });
    StartHandOver handOver;
    int loginShown = 0;
    handOver.showLoginWindow = [&] { ++loginShown; };
    EXPECT_EQ(AppStart(handOver), StartOutcome::WindowShown);
    EXPECT_EQ(loginShown, 1);
    EXPECT_EQ(DecodeStr(settings::get(kConnectionManagerApp, kServer, QStringLiteral("PWD"))), p.password);
    const QFileDevice::Permissions others =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    EXPECT_EQ(QFile::permissions(connectionFile()) & others, QFileDevice::Permissions());
}

}  // namespace
