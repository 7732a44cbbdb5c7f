#include "startup/mod_main.h"

#include "build_config.h"
#include "common/codecs.h"
#include "common/msgbox.h"
#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "db/session_statements.h"
#include "platform/app_error.h"
#include "platform/app_paths.h"
#include "platform/program_identity.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "startup/chttpfile.h"
#include "startup/frm_connection.h"
#include "startup/server_location.h"
#include "startup/session.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace {

const QString kServerSection = QStringLiteral("서버정보");
const QString kOptionsSection = QStringLiteral("Options");
const QString kAbnormalStart = QStringLiteral("프로그램이 비정상적으로 실행되었습니다.");

QString defaultLauncherPasswordText() {
    return EncodeStr(QStringLiteral(PELORA_DEFAULT_LAUNCHER_PASSWORD));
}

// The plain start request: marker, 7, the launcher's login program, this program's name and version.
QString startRequest() {
    const QString version = QString::number(program_identity::versionMajor()) + QLatin1Char('.') +
                            QString::number(program_identity::versionMinor()) + QLatin1Char('.') +
                            QString::number(program_identity::versionRevision());
    return QStringLiteral("XVRTK58") + QStringLiteral(";") + QStringLiteral("7") +
           QStringLiteral(";login.exe;") + program_identity::exeName() + QStringLiteral(";") + version;
}

// The launcher program: the one the installation names ("Options" / "Launcher" of the connection manager's
// settings), else start.exe beside the program.
QString launcherProgram() {
    const QString configured =
        settings::get(kConnectionManagerApp, kOptionsSection, QStringLiteral("Launcher"));
    return configured.isEmpty() ? app_paths::programFolder() + QStringLiteral("/start.exe") : configured;
}

// Whether this installation starts through a launcher: a launcher handed a parameter over, or one is
// configured or installed beside the program. A plain desktop installation has none.
bool launcherInstalled() {
    if (DevMode) return true;
    if (!settings::get(kLoginManagerApp, QStringLiteral("Config"), QStringLiteral("MainPathParam")).isEmpty())
        return true;
    // A configured launcher counts even when it is missing: the user is told which program is missing.
    if (!settings::get(kConnectionManagerApp, kOptionsSection, QStringLiteral("Launcher")).isEmpty())
        return true;
    return QFileInfo::exists(launcherProgram());
}

// No usable launcher parameter: leave a start request for the launcher and run it.
void requestStartThroughLauncher() {
    settings::save(kConnectionManagerApp, kOptionsSection, QStringLiteral("ID"),
                   QStringLiteral("pelorafood"));
    settings::save(kConnectionManagerApp, kOptionsSection, QStringLiteral("PWD"),
                   defaultLauncherPasswordText());
    settings::save(kConnectionManagerApp, kOptionsSection, QStringLiteral("StartParam"),
                   EncodeStr(EncodeUniCode(startRequest())));
    const QString launcher = launcherProgram();
    if (!QFileInfo::exists(launcher) || !shell::runProgram(launcher))
        ShowInfoMsg(launcher + QStringLiteral("\r\n") + QStringLiteral("실행 파일을 찾을 수 없습니다."));
}

bool isShort(const QString& field) {
    bool ok = false;
    field.trimmed().toShort(&ok);
    return ok;
}

// The launcher's parameter, read once and deleted; decoded. Empty when there is none.
QString takeLauncherParameter() {
    if (DevMode) return QStringLiteral(PELORA_DEV_PARAM);
    const QString key = QStringLiteral("MainPathParam");
    QString text = settings::get(kLoginManagerApp, QStringLiteral("Config"), key, QString());
    if (!text.isEmpty()) {
        settings::remove(kLoginManagerApp, QStringLiteral("Config"), key);
        text = DecodeUniCode(DecodeStr(text));
    }
    return text;
}

StartOutcome settingsStorePath(const StartHandOver& handOver) {
    DBHost = settings::get(kConnectionManagerApp, kServerSection, QStringLiteral("IP"),
                           QStringLiteral("localhost"));
    DBUser =
        settings::get(kConnectionManagerApp, kServerSection, QStringLiteral("ID"), QStringLiteral("tessar"));
    DBName = settings::get(kConnectionManagerApp, kServerSection, QStringLiteral("DB명"),
                           QStringLiteral("tessardb"));
    DBPassword = settings::get(kConnectionManagerApp, kServerSection, QStringLiteral("PWD"),
                               defaultLauncherPasswordText());
    if (!DBPassword.isEmpty()) DBPassword = DecodeStr(DBPassword);
    DBPort = int(LeadingNumber(settings::get(kConnectionManagerApp, kServerSection, QStringLiteral("Port"),
                                             QStringLiteral("3306"))));
    if (DBPort <= 0 || DBPort > 65535) DBPort = 3306;
    LoginID.clear();
    if (!InitApp()) return StartOutcome::Ended;
    if (handOver.showLoginWindow) handOver.showLoginWindow();
    return StartOutcome::WindowShown;
}

// The revision is older than option "orderver": fetch the new setup and leave it to replace the program.
// True when the setup has been started and the process must end.
bool updateWhenOlder() {
    const double required = LeadingNumber(GetOption(QStringLiteral("orderver"), QString()));
    if (program_identity::versionRevision() >= required) return false;
    if (!DownloadSetup(QStringLiteral("peloraorder.exe"))) return false;
    ShowInfoMsg(QStringLiteral("프로그램 재설치 중입니다. 재설치가 완료된후 다시 로그인 하시기 바랍니다."));
    const QString setup = app_paths::programFolder() + QStringLiteral("/peloraorder_Setup.exe");
    // A downloaded file has no execute permission here; the shell's "Open" of a program file runs it.
    QFile::setPermissions(setup, QFile::permissions(setup) | QFile::ExeOwner | QFile::ExeUser);
    shell::runProgram(setup);
    DestroyApp();
    return true;
}

StartOutcome launcherPath(const StartHandOver& handOver) {
    const QString parameter = takeLauncherParameter();
    if (parameter.isEmpty()) {
        requestStartThroughLauncher();
        return StartOutcome::Ended;
    }
    const QStringList fields = parameter.split(QLatin1Char(';'));
    // Fields 6 and 7 are 16-bit whole numbers; anything else is no launcher's parameter either.
    if (fields.size() != 8 || fields.at(0) != QLatin1String("XVRTK36") || !isShort(fields.at(5)) ||
        !isShort(fields.at(6))) {
        ShowPlainMsg(kAbnormalStart);
        return StartOutcome::Ended;
    }
    DBHost = DevMode ? fields.at(1) : GetCSManageDBIP(QStringLiteral("cs_peloraip.txt"));
    DBUser = fields.at(2);
    DBName = fields.at(3);
    LoginID = fields.at(4);
    DBPassword = QStringLiteral(PELORA_LAUNCHER_DB_PASSWORD);
    if (DevMode && DBHost != QLatin1String("localhost")) ShowInfoMsg(QStringLiteral("Login ID: ") + DBUser);

    // No address is no server: the client library would take an empty host for this machine.
    if (DBHost.trimmed().isEmpty() || !InitApp()) {
        ShowInfoMsg(QStringLiteral("프로그램 초기화에 실패하여 종료합니다."));
        DestroyApp();
        return StartOutcome::Ended;
    }
    if (!GetLoginUserInfo(LoginID)) {
        ShowInfoMsg(QStringLiteral("승인된 사용자가 아닙니다."));
        DestroyApp();
        return StartOutcome::Ended;
    }
    if (updateWhenOlder()) return StartOutcome::Ended;
    if (handOver.showMainWindow) handOver.showMainWindow();
    return StartOutcome::WindowShown;
}

// The report of a trapping procedure of this module.
void reportError(const char* procedure, const AppError& e) {
    ShowProcError(QString::fromLatin1(procedure), QStringLiteral("modMain"), e);
}

}  // namespace

StartOutcome Main(const StartHandOver& handOver) {
    if (!single_instance::acquire(program_identity::exeName())) {
        ShowInfoMsg(QStringLiteral("이미 프로그램이 실행 중입니다."));
        return StartOutcome::Ended;
    }
    IsDebugMode(QStringLiteral("PeloraOrder_MySQL"));
    SetAppTitle(QStringLiteral("펠로라푸드주문서"));
    SetQtyDecimals(1);
    return AppStart(handOver);
}

bool IsDebugMode(const QString& projectName) {
    DevMode = false;
    if (program_identity::exeName().toUpper() != projectName.toUpper()) return false;
    const QString module = program_identity::modulePath().left(255).toUpper();
    if (module.right(7) == QLatin1String("VB6.EXE")) DevMode = true;
    return DevMode;
}

StartOutcome AppStart(const StartHandOver& handOver) {
    const QString serverType =
        settings::get(kConnectionManagerApp, kServerSection, QStringLiteral("서버Type"), QStringLiteral("0"));
    if (LeadingNumber(serverType) != 0) return settingsStorePath(handOver);
    if (launcherInstalled()) return launcherPath(handOver);
    // A first start without a launcher: the connection is asked for once, then the login follows.
    if (!AskServerConnection()) return StartOutcome::Ended;
    return settingsStorePath(handOver);
}

bool InitApp() {
    // No grid print preview is set up here: no command of the program prints a grid.
    UseFormStyle = true;
    try {
        return DBInit(DBHost, DBUser, DBPassword, DBName, DBPort);
    } catch (const AppError& e) {
        reportError("InitApp", e);
        return false;
    }
}

void DestroyApp() {
    try {
        DBClose();
    } catch (const AppError& e) {
        reportError("DestroyApp", e);
    }
}

bool GetLoginUserInfo(const QString& loginId) {
    bool admitted = false;
    try {
        if (!DBConn())
            throw AppError(91, QStringLiteral("GetLoginUserInfo"),
                           QStringLiteral("Object variable or With block variable not set"));
        const LoginUser user = ReadLoginUser(loginId);
        if (user.found) {
            BuyerCode = int(std::lround(user.buyerCode));
            admitted = user.branch == 2;
        }
    } catch (const AppError& e) {
        reportError("GetLoginUserInfo", e);
        return false;
    }
    return admitted;
}
