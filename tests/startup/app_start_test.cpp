// The program start end to end: both start paths against the test database server, the server address
// and the setup from a local HTTP server, a stand-in launcher "start.exe" that records that it ran, and the
// hand-over to the login window or the main window.
#include "build_config.h"
#include "common/codecs.h"
#include "common/msgbox.h"
#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "platform/app_paths.h"
#include "platform/http.h"
#include "platform/program_identity.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "startup/mod_main.h"
#include "startup/session.h"
#include "support/http_server.h"
#include "support/qt_printers.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const QString kLauncherUser = QStringLiteral("pelora_launch");

// Waits for a file that a started program writes.
bool appears(const QString& path) {
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(path) && clock.elapsed() < 10000) QThread::msleep(20);
    return QFile::exists(path);
}

class AppStartTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
        app_paths::setProgramFolderForTests(m_folder.path());
        program_identity::setModulePathForTests(m_folder.path() + QStringLiteral("/PeloraOrder.exe"));
        http::setLimits({2000, 1000});
        writeScript(QStringLiteral("start.exe"), QStringLiteral("start.ran"));
        settings::save(AppTitle(), QStringLiteral("Config"), QStringLiteral("DownloadURL"),
                       m_server.url(QStringLiteral("/download/")));
        TestHttpServer::Response address;
        address.body = "localhost";
        m_server.route(QStringLiteral("/download/cs_peloraip.txt"), address);

        // The launcher path connects with the built-in password: a user of its own carries it.
        const testdb::Params& p = testdb::params();
        testdb::exec(QStringLiteral("CREATE USER IF NOT EXISTS '%1'@'localhost' IDENTIFIED BY '%2'")
                         .arg(kLauncherUser, QStringLiteral(PELORA_LAUNCHER_DB_PASSWORD)));
        testdb::exec(QStringLiteral("GRANT ALL ON %1.* TO '%2'@'localhost'").arg(p.database, kLauncherUser));
        testdb::truncate({QStringLiteral("local_user"), QStringLiteral("options")});
        testdb::execAll({
            QStringLiteral(
                "INSERT INTO local_user (loginid, c_buyer, local_name, branch) VALUES "
                "('buyer7', 7, '김매입', 2), ('office', 3, '사무실', 1), ('retired', 5, '퇴사', 0), "
                "('branch3', 9, '삼지점', 3)"),
        });
        DBHost.clear();
        DBUser.clear();
        DBName.clear();
        DBPassword.clear();
        LoginID.clear();
        BuyerCode = 0;
    }
    void TearDown() override {
        DestroyApp();
        single_instance::releaseAll();
        app_paths::setProgramFolderForTests(QString());
        program_identity::setModulePathForTests(QString());
    }

    // A stand-in program: a script that leaves `marker` (with its arguments) in the program folder.
    void writeScript(const QString& name, const QString& marker) {
        QFile f(m_folder.path() + QLatin1Char('/') + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\necho \"$@\" > \"%1/%2\"\n").arg(m_folder.path(), marker).toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
    QString inFolder(const QString& name) const { return m_folder.path() + QLatin1Char('/') + name; }

    static void setLauncherParameter(const QString& plain) {
        settings::save(kLoginManagerApp, QStringLiteral("Config"), QStringLiteral("MainPathParam"),
                       EncodeStr(EncodeUniCode(plain)));
    }
    static QString launcherParameter() {
        return settings::get(kLoginManagerApp, QStringLiteral("Config"), QStringLiteral("MainPathParam"),
                             QStringLiteral("<none>"));
    }
    static QString parameterFor(const QString& loginId) {
        return QStringLiteral("XVRTK36;10.9.9.9;") + kLauncherUser + QLatin1Char(';') +
               testdb::params().database + QLatin1Char(';') + loginId + QStringLiteral(";0;0;Y");
    }
    static void setServerType(const QString& value) {
        settings::save(kConnectionManagerApp, QStringLiteral("서버정보"), QStringLiteral("서버Type"), value);
    }

    StartOutcome start() {
        StartHandOver handOver;
        handOver.showLoginWindow = [this] { ++m_loginShown; };
        handOver.showMainWindow = [this] { ++m_mainShown; };
        return AppStart(handOver);
    }

    TestHttpServer m_server;
    QTemporaryDir m_folder;
    QTemporaryDir m_runtime;
    int m_loginShown = 0;
    int m_mainShown = 0;
};

TEST_F(AppStartTest, LauncherPathAdmitsTheUserAndOpensTheMainWindowOnce) {
    setLauncherParameter(parameterFor(QStringLiteral("buyer7")));
    EXPECT_EQ(start(), StartOutcome::WindowShown);
    EXPECT_EQ(m_mainShown, 1);
    EXPECT_EQ(m_loginShown, 0);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(DBHost, QStringLiteral("localhost"));  // fetched, not field 2
    EXPECT_EQ(DBUser, kLauncherUser);
    EXPECT_EQ(DBName, testdb::params().database);
    EXPECT_EQ(LoginID, QStringLiteral("buyer7"));
    EXPECT_EQ(BuyerCode, 7);
    EXPECT_NE(DBConn(), nullptr);
    EXPECT_TRUE(UseFormStyle);
    EXPECT_TRUE(m_server.requestedPaths().contains(QStringLiteral("/download/cs_peloraip.txt")));
    // "orderver" was missing: stored empty, no update.
    EXPECT_EQ(testdb::scalar(QStringLiteral(
                  "SELECT COUNT(*) FROM options WHERE optname = 'orderver' AND optvalue = ''")),
              QStringLiteral("1"));
    EXPECT_FALSE(m_server.requestedPaths().contains(QStringLiteral("/download/peloraorder.exe")));

    // The parameter was one-shot: the next start without the launcher asks the launcher to start it.
    EXPECT_EQ(launcherParameter(), QStringLiteral("<none>"));
    DestroyApp();
    EXPECT_EQ(start(), StartOutcome::Ended);
    EXPECT_EQ(m_mainShown, 1);
    EXPECT_TRUE(appears(inFolder(QStringLiteral("start.ran"))));
}

TEST_F(AppStartTest, StartWithoutParameterLeavesAStartRequestAndRunsTheLauncher) {
    EXPECT_EQ(start(), StartOutcome::Ended);
    EXPECT_EQ(m_mainShown + m_loginShown, 0);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    const QString options = QStringLiteral("Options");
    EXPECT_EQ(settings::get(kConnectionManagerApp, options, QStringLiteral("ID")),
              QStringLiteral("pelorafood"));
    EXPECT_EQ(settings::get(kConnectionManagerApp, options, QStringLiteral("PWD"), QStringLiteral("<none>")),
              EncodeStr(QStringLiteral(PELORA_DEFAULT_LAUNCHER_PASSWORD)));
    const QString request = settings::get(kConnectionManagerApp, options, QStringLiteral("StartParam"));
    EXPECT_EQ(DecodeUniCode(DecodeStr(request)), QStringLiteral("XVRTK58;7;login.exe;PeloraOrder;1.1.18"));
    EXPECT_TRUE(appears(inFolder(QStringLiteral("start.ran"))));
    EXPECT_EQ(DBConn(), nullptr);
    EXPECT_TRUE(m_server.requestedPaths().isEmpty());
}

// An installation that names its launcher ("Options" / "Launcher") starts through it, and names it when it
// is missing; with start.exe beside the program that one is run, as the launcher-path tests show.
TEST_F(AppStartTest, MissingLauncherIsNamedBeforeTheEnd) {
    QFile::remove(inFolder(QStringLiteral("start.exe")));
    const QString configured = inFolder(QStringLiteral("bin/launcher"));
    settings::save(kConnectionManagerApp, QStringLiteral("Options"), QStringLiteral("Launcher"), configured);
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_EQ(start(), StartOutcome::Ended);
    settings::remove(kConnectionManagerApp, QStringLiteral("Options"), QStringLiteral("Launcher"));
    EXPECT_TRUE(testDialogs().last().text.startsWith(configured + QStringLiteral("\r\n")));
    EXPECT_TRUE(testDialogs().last().text.endsWith(QStringLiteral("실행 파일을 찾을 수 없습니다.")));
}

TEST_F(AppStartTest, UndecodableParameterCountsAsMissingAfterTheCodecReport) {
    settings::save(kLoginManagerApp, QStringLiteral("Config"), QStringLiteral("MainPathParam"),
                   QStringLiteral("not base64!"));
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_EQ(start(), StartOutcome::Ended);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("Error 6 (Overflow) in procedure DecodeStr"));
    EXPECT_EQ(launcherParameter(), QStringLiteral("<none>"));
    EXPECT_FALSE(settings::get(kConnectionManagerApp, QStringLiteral("Options"), QStringLiteral("StartParam"))
                     .isEmpty());
}

TEST_F(AppStartTest, MalformedParameterGivesTheAbnormalStartBoxAndTouchesNothing) {
    const QString base = parameterFor(QStringLiteral("buyer7"));
    const QStringList parameters = {
        base.section(QLatin1Char(';'), 0, 6),         // seven fields
        base + QStringLiteral(";extra"),              // nine fields
        QStringLiteral("xvrtk36") + base.mid(7),      // marker in lower case
        QStringLiteral("XVRTK36;a;b;c;d;70000;0;Y"),  // field 6 beyond 16 bits
        QStringLiteral("XVRTK36;a;b;c;d;0;x;Y"),      // field 7 not a number
    };
    for (const QString& parameter : parameters) {
        setLauncherParameter(parameter);
        testDialogs().answer(Dialogs::ResultOk);
        EXPECT_EQ(start(), StartOutcome::Ended) << parameter.toStdString();
        EXPECT_EQ(testDialogs().last().text, QStringLiteral("프로그램이 비정상적으로 실행되었습니다."));
        EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::None);
        EXPECT_EQ(testDialogs().last().title, QStringLiteral("펠로라푸드주문서"));
        EXPECT_EQ(launcherParameter(), QStringLiteral("<none>"));
    }
    EXPECT_EQ(m_mainShown, 0);
    EXPECT_EQ(DBConn(), nullptr);
    EXPECT_EQ(testdb::scalar(QStringLiteral("SELECT COUNT(*) FROM options")), QStringLiteral("0"));
    EXPECT_TRUE(m_server.requestedPaths().isEmpty());
}

TEST_F(AppStartTest, UsersNotAdmittedEndTheStart) {
    for (const QString& id :
         {QStringLiteral("office"), QStringLiteral("nobody"), QStringLiteral("o'brien")}) {
        setLauncherParameter(parameterFor(id));
        testDialogs().answer(Dialogs::ResultOk);
        EXPECT_EQ(start(), StartOutcome::Ended) << id.toStdString();
        ASSERT_FALSE(testDialogs().boxes().isEmpty());
        EXPECT_EQ(testDialogs().last().text, QStringLiteral("승인된 사용자가 아닙니다."));
        EXPECT_EQ(DBConn(), nullptr) << "the session is closed before the end";
    }
    EXPECT_EQ(testDialogs().boxes().size(), 3);  // no query error box for the apostrophe
}

TEST_F(AppStartTest, GetLoginUserInfoAdmitsBranchTwoOnly) {
    ASSERT_TRUE(testdb::openSession());
    const struct {
        QString id;
        bool admitted;
        int buyer;
    } cases[] = {
        {QStringLiteral("buyer7"), true, 7},
        {QStringLiteral("office"), false, 3},
        {QStringLiteral("retired"), false, 5},
        {QStringLiteral("branch3"), false, 9},  // exactly branch 2, not "2 or more"
        {QStringLiteral("nobody"), false, -1},
        {QString(), false, -1},
        {QStringLiteral("o'brien"), false, -1},
        // Escaped, the identifier is data: it cannot widen the query to other users.
        {QStringLiteral("x' OR '1'='1"), false, -1},
        {QStringLiteral("x\\' OR 1=1 -- "), false, -1},
    };
    for (const auto& c : cases) {
        BuyerCode = -1;
        EXPECT_EQ(GetLoginUserInfo(c.id), c.admitted) << c.id.toStdString();
        EXPECT_EQ(BuyerCode, c.buyer) << c.id.toStdString();
    }
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(AppStartTest, NoServerAddressEndsTheStart) {
    TestHttpServer::Response missing;
    missing.status = 404;
    missing.body = notFoundPage();
    m_server.route(QStringLiteral("/download/cs_peloraip.txt"), missing);
    setLauncherParameter(parameterFor(QStringLiteral("buyer7")));
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_EQ(start(), StartOutcome::Ended);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("프로그램 초기화에 실패하여 종료합니다."));
    EXPECT_EQ(m_mainShown, 0);
    EXPECT_EQ(DBConn(), nullptr);
}

TEST_F(AppStartTest, RevisionCheckAgainstOrderver) {
    // Equal: no update.
    testdb::exec(QStringLiteral("INSERT INTO options (optname, optvalue) VALUES ('orderver', '18')"));
    setLauncherParameter(parameterFor(QStringLiteral("buyer7")));
    EXPECT_EQ(start(), StartOutcome::WindowShown);
    EXPECT_FALSE(m_server.requestedPaths().contains(QStringLiteral("/download/peloraorder.exe")));
    DestroyApp();

    // Higher, but the download fails: the main window opens on the old version, silently.
    testdb::exec(QStringLiteral("UPDATE options SET optvalue = '19 beta' WHERE optname = 'orderver'"));
    setLauncherParameter(parameterFor(QStringLiteral("buyer7")));
    EXPECT_EQ(start(), StartOutcome::WindowShown);
    EXPECT_EQ(m_mainShown, 2);
    EXPECT_TRUE(m_server.requestedPaths().contains(QStringLiteral("/download/peloraorder.exe")));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    DestroyApp();
}

TEST_F(AppStartTest, NewerRevisionDownloadsAndStartsTheSetup) {
    testdb::exec(QStringLiteral("INSERT INTO options (optname, optvalue) VALUES ('orderver', '19')"));
    TestHttpServer::Response setup;
    setup.body = QStringLiteral("#!/bin/sh\necho setup > \"%1/setup.ran\"\n").arg(m_folder.path()).toUtf8();
    m_server.route(QStringLiteral("/download/peloraorder.exe"), setup);
    setLauncherParameter(parameterFor(QStringLiteral("buyer7")));
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_EQ(start(), StartOutcome::Ended);
    EXPECT_EQ(testDialogs().last().text,
              QStringLiteral("프로그램 재설치 중입니다. 재설치가 완료된후 다시 로그인 하시기 바랍니다."));
    EXPECT_TRUE(QFile::exists(inFolder(QStringLiteral("peloraorder_Setup.exe"))));
    EXPECT_TRUE(appears(inFolder(QStringLiteral("setup.ran"))));
    EXPECT_EQ(m_mainShown, 0);
    EXPECT_EQ(DBConn(), nullptr);
}

TEST_F(AppStartTest, ServerTypeChoosesThePath) {
    const testdb::Params& p = testdb::params();
    const QString section = QStringLiteral("서버정보");
    settings::save(kConnectionManagerApp, section, QStringLiteral("ID"), p.user);
    settings::save(kConnectionManagerApp, section, QStringLiteral("DB명"), p.database);
    settings::save(kConnectionManagerApp, section, QStringLiteral("PWD"), EncodeStr(p.password));
    const struct {
        const char* value;  // nullptr: missing
        bool settingsPath;
    } cases[] = {{nullptr, false}, {"0", false}, {"", false},    {"abc", false},
                 {"1", true},      {"2", true},  {"2abc", true}, {" 3", true}};
    for (const auto& c : cases) {
        if (c.value) setServerType(QString::fromLatin1(c.value));
        m_loginShown = 0;
        QFile::remove(inFolder(QStringLiteral("start.ran")));
        settings::remove(kConnectionManagerApp, QStringLiteral("Options"), QStringLiteral("StartParam"));
        const StartOutcome outcome = start();
        const std::string label = c.value ? c.value : "(missing)";
        if (c.settingsPath) {
            EXPECT_EQ(outcome, StartOutcome::WindowShown) << label;
            EXPECT_EQ(m_loginShown, 1) << label;
            EXPECT_NE(DBConn(), nullptr) << label;
            EXPECT_EQ(DBHost, QStringLiteral("localhost"));
            EXPECT_EQ(DBPassword, p.password);
            EXPECT_EQ(LoginID, QString());
        } else {
            EXPECT_EQ(outcome, StartOutcome::Ended) << label;
            EXPECT_EQ(m_loginShown, 0) << label;
            EXPECT_FALSE(
                settings::get(kConnectionManagerApp, QStringLiteral("Options"), QStringLiteral("StartParam"))
                    .isEmpty())
                << label;
        }
        DestroyApp();
    }
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(AppStartTest, SettingsPathPasswords) {
    const testdb::Params& p = testdb::params();
    const QString section = QStringLiteral("서버정보");
    setServerType(QStringLiteral("1"));
    settings::save(kConnectionManagerApp, section, QStringLiteral("ID"), p.user);
    settings::save(kConnectionManagerApp, section, QStringLiteral("DB명"), p.database);

    // Stored empty: an empty password, which the server refuses.
    settings::save(kConnectionManagerApp, section, QStringLiteral("PWD"), QString());
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_EQ(start(), StartOutcome::Ended);
    EXPECT_EQ(DBPassword, QString());
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("Error 1045")))
        << testDialogs().last().text.toStdString();
    EXPECT_EQ(m_loginShown, 0);

    // Missing: the default launcher password, decoded.
    settings::remove(kConnectionManagerApp, section, QStringLiteral("PWD"));
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_EQ(start(), StartOutcome::Ended);
    EXPECT_EQ(DBPassword, QStringLiteral(PELORA_DEFAULT_LAUNCHER_PASSWORD));

    // Stored as base64 of the right password: connected, the login window takes over.
    settings::save(kConnectionManagerApp, section, QStringLiteral("PWD"), EncodeStr(p.password));
    EXPECT_EQ(start(), StartOutcome::WindowShown);
    EXPECT_EQ(m_loginShown, 1);
    EXPECT_EQ(DBUser, p.user);
    EXPECT_EQ(DBName, p.database);
}

TEST_F(AppStartTest, MainRefusesASecondInstance) {
    ASSERT_TRUE(single_instance::acquire(QStringLiteral("PeloraOrder")));  // the copy already running
    SetAppTitle(QStringLiteral("other"));
    testDialogs().answer(Dialogs::ResultOk);
    StartHandOver handOver;
    handOver.showLoginWindow = [this] { ++m_loginShown; };
    EXPECT_EQ(Main(handOver), StartOutcome::Ended);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("이미 프로그램이 실행 중입니다."));
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Information);
    EXPECT_EQ(m_loginShown, 0);
    EXPECT_TRUE(launcherParameter() == QStringLiteral("<none>"));
    EXPECT_FALSE(QFile::exists(inFolder(QStringLiteral("start.ran"))));
}

TEST_F(AppStartTest, MainSetsTheSessionAndStarts) {
    const testdb::Params& p = testdb::params();
    setServerType(QStringLiteral("1"));
    settings::save(kConnectionManagerApp, QStringLiteral("서버정보"), QStringLiteral("ID"), p.user);
    settings::save(kConnectionManagerApp, QStringLiteral("서버정보"), QStringLiteral("DB명"), p.database);
    settings::save(kConnectionManagerApp, QStringLiteral("서버정보"), QStringLiteral("PWD"),
                   EncodeStr(p.password));
    SetAppTitle(QStringLiteral("other"));
    SetQtyDecimals(3);
    DevMode = true;
    StartHandOver handOver;
    handOver.showLoginWindow = [this] { ++m_loginShown; };
    EXPECT_EQ(Main(handOver), StartOutcome::WindowShown);
    EXPECT_EQ(m_loginShown, 1);
    EXPECT_EQ(AppTitle(), QStringLiteral("펠로라푸드주문서"));
    EXPECT_EQ(QtyDecimals(), 1);
    EXPECT_FALSE(DevMode);
}

TEST_F(AppStartTest, DevelopmentModeOnlyInsideTheDevelopmentEnvironment) {
    EXPECT_FALSE(IsDebugMode(QStringLiteral("PeloraOrder_MySQL")));
    EXPECT_FALSE(IsDebugMode(QStringLiteral("peloraorder")));  // the built program itself
    program_identity::setModulePathForTests(QStringLiteral("C:/Program Files/VS98/vb6.exe"));
    EXPECT_TRUE(IsDebugMode(QStringLiteral("VB6")));
    EXPECT_TRUE(DevMode);
    EXPECT_FALSE(IsDebugMode(QStringLiteral("PeloraOrder_MySQL")));
    EXPECT_FALSE(DevMode);
}

}  // namespace
