#include "startup/frm_login.h"

#include "common/codecs.h"
#include "common/msgbox.h"
#include "common/text_helpers.h"
#include "db/mysql_func.h"
#include "db/session_statements.h"
#include "platform/app_paths.h"
#include "platform/dialogs.h"
#include "platform/settings_store.h"
#include "startup/frm_intro_msg.h"
#include "startup/mod_main.h"
#include "startup/session.h"
#include "widgets/form_helpers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

const QString kConfig = QStringLiteral("Config");
const QString kRecentId = QStringLiteral("RecentID");
const QString kSavePwd = QStringLiteral("SavePWD");
const QString kPasswd = QStringLiteral("passwd");

QString configValue(const QString& key, const QString& defaultValue = QString()) {
    return settings::get(AppTitle(), kConfig, key, defaultValue);
}
void saveConfig(const QString& key, const QString& value) {
    settings::save(AppTitle(), kConfig, key, value);
}

QString mismatchText() {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("유저명과 암호가 일치하지 않습니다.") + crlf + crlf +
           QStringLiteral("존재하지 않는 유저명이거나,") + crlf +
           QStringLiteral("암호가 잘못 입력되었습니다.") + crlf + crlf +
           QStringLiteral("※최초 접속인 경우, 암호란을 비우고 엔터키를 치세요.");
}

}  // namespace

FrmLogin::FrmLogin(std::function<void()> showMainWindow, std::function<void()> endProgram, QWidget* parent)
    : QWidget(parent), m_showMainWindow(std::move(showMainWindow)), m_endProgram(std::move(endProgram)) {
    setObjectName(QStringLiteral("FrmLogin"));
    if (!m_endProgram) m_endProgram = [] { QCoreApplication::quit(); };
    CreateControls();
    Form_Load();
}

QString FrmLogin::FirstLoginHint() {
    return QStringLiteral("엔터를 치세요");
}

void FrmLogin::CreateControls() {
    setWindowFlag(Qt::Window);
    m_background = new QLabel(this);
    m_background->setObjectName(QStringLiteral("Background"));
    m_background->setScaledContents(true);

    const QFont textFont(QStringLiteral("굴림"), 10);
    auto* userLabel = new QLabel(QStringLiteral("사용자 ID"), this);
    auto* passLabel = new QLabel(QStringLiteral("암호"), this);
    m_txtUser = new QLineEdit(this);
    m_txtUser->setObjectName(QStringLiteral("txtUser"));
    m_txtUser->setFont(textFont);
    m_txtUser->setMaxLength(30);
    m_txtPass = new QLineEdit(this);
    m_txtPass->setObjectName(QStringLiteral("txtPass"));
    m_txtPass->setFont(textFont);
    // The password box masks with "*", as the users know it.
    m_txtPass->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    m_txtPass->setEchoMode(QLineEdit::Password);
    m_chkSavePwd = new QCheckBox(QStringLiteral("저장"), this);
    m_chkSavePwd->setObjectName(QStringLiteral("chkSavePwd"));
    m_btnLogin = new QPushButton(QStringLiteral("로그인"), this);
    m_btnLogin->setObjectName(QStringLiteral("btnLogin"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(24, 24, 24, 24);
    grid->setHorizontalSpacing(8);
    grid->addWidget(userLabel, 0, 0);
    grid->addWidget(m_txtUser, 0, 1);
    grid->addWidget(passLabel, 1, 0);
    grid->addWidget(m_txtPass, 1, 1);
    grid->addWidget(m_chkSavePwd, 1, 2);
    grid->addWidget(m_btnLogin, 0, 2);
    grid->setColumnStretch(1, 1);
    setTabOrder(m_txtUser, m_txtPass);
    setTabOrder(m_txtPass, m_chkSavePwd);
    setTabOrder(m_chkSavePwd, m_btnLogin);
    resize(380, 130);

    m_txtUser->installEventFilter(this);
    m_txtPass->installEventFilter(this);
    // Every typed letter becomes a capital.
    connect(m_txtUser, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int cursor = m_txtUser->cursorPosition();
        m_txtUser->setText(upper);
        m_txtUser->setCursorPosition(cursor);
    });
    connect(m_txtUser, &QLineEdit::textChanged, this, &FrmLogin::OnUserChanged);
    connect(m_txtPass, &QLineEdit::textChanged, this, [this] {
        if (isVisible()) m_passwordTyped = true;
    });
    connect(m_txtPass, &QLineEdit::returnPressed, this, &FrmLogin::Login);
    connect(m_btnLogin, &QPushButton::clicked, this, &FrmLogin::Login);
    connect(m_chkSavePwd, &QCheckBox::clicked, this, &FrmLogin::OnSavePwdClicked);
}

void FrmLogin::Form_Load() {
    setWindowTitle(AppTitle() + QStringLiteral(" 로그인"));
    m_attempts = 0;
    m_loggedIn = m_userChanged = m_passwordTyped = false;
    const QString picture = app_paths::imageFolder() + QStringLiteral("/loginbg.jpg");
    if (QFileInfo::exists(picture)) {
        m_background->setPixmap(QPixmap(picture));
        m_background->setGeometry(rect());
        m_background->lower();
    }

    m_chkSavePwd->setChecked(LeadingNumber(configValue(kSavePwd, QStringLiteral("0"))) != 0);
    QString loginId = configValue(kRecentId);
    if (loginId.isEmpty()) loginId = QStringLiteral("ADMIN");
    m_txtUser->setText(loginId.toUpper());

    if (IsFirstLogin(loginId)) {
        ShowHint();
    } else if (m_chkSavePwd->isChecked()) {
        const QString saved = configValue(kPasswd);
        if (!saved.isEmpty()) m_txtPass->setText(DecodeStr(saved));
    }
    // The identifier is known: the user starts in the password box, where Enter logs in.
    m_txtPass->setFocus();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool FrmLogin::IsFirstLogin(const QString& loginId) const {
    return IsFirstLoginUser(loginId);
}

void FrmLogin::ShowHint() {
    m_txtPass->setEchoMode(QLineEdit::Normal);
    m_txtPass->setText(FirstLoginHint());
    m_hintShown = true;
}

void FrmLogin::OnUserChanged() {
    if (!isVisible() || !m_hintShown) return;
    m_hintShown = false;
    m_txtPass->setEchoMode(QLineEdit::Password);
    m_txtPass->clear();
}

void FrmLogin::OnSavePwdClicked() {
    if (!isVisible()) return;
    const bool checked = m_chkSavePwd->isChecked();
    saveConfig(kSavePwd, checked ? QStringLiteral("1") : QStringLiteral("0"));
    saveConfig(kPasswd, checked ? EncodeStr(m_txtPass->text()) : QString());
}

void FrmLogin::Login() {
    if (m_txtUser->text().trimmed().isEmpty()) {
        ShowInfoMsg(QStringLiteral("사용자 ID를 입력하세요."));
        m_txtUser->setFocus();
        return;
    }
    ++m_attempts;
    bool accepted = false;
    {
        WaitCursor wait;
        QString password = m_txtPass->text();
        if (password == FirstLoginHint()) password.clear();
        accepted = LoginAccepted(m_txtUser->text(), password);
    }

    if (accepted) {
        m_loggedIn = true;
        if (m_userChanged) saveConfig(kRecentId, m_txtUser->text());
        if (m_chkSavePwd->isChecked() && m_passwordTyped) saveConfig(kPasswd, EncodeStr(m_txtPass->text()));
        close();
        return;
    }
    if (m_attempts >= 3) {
        ShowInfoMsg(QStringLiteral("암호입력 제한 횟수를 초과하여, 프로그램이 종료됩니다."));
        close();
        return;
    }
    ShowInfoMsg(mismatchText());
    m_txtPass->setFocus();
}

bool FrmLogin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtUser) {
        if (event->type() == QEvent::FocusIn) {
            m_userAtFocus = m_txtUser->text();
            QTimer::singleShot(0, m_txtUser, [edit = m_txtUser] { edit->selectAll(); });
        } else if (event->type() == QEvent::FocusOut) {
            if (m_txtUser->text() != m_userAtFocus) m_userChanged = true;
        } else if (event->type() == QEvent::KeyPress) {
            const int key = KeyCodeOf(*static_cast<QKeyEvent*>(event));
            if ((key == kKeyReturn || key == kKeyDown || key == kKeyUp) && EnterToTab(key)) return true;
        }
    } else if (watched == m_txtPass && event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, m_txtPass, [edit = m_txtPass] { edit->selectAll(); });
        m_passwordTyped = false;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmLogin::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (ShowQuestionMsg(QStringLiteral("프로그램을 종료하시겠습니까?"), QString(), true) == kYes) close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrmLogin::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        Form_Unload();
    }
    event->accept();
}

void FrmLogin::Form_Unload() {
    if (!m_loggedIn) {
        DestroyApp();
        m_endProgram();
        return;
    }
    LoginID = m_txtUser->text();
    if (!GetLoginUserInfo(LoginID)) {
        ShowInfoMsg(QStringLiteral("승인된 사용자가 아닙니다."));
        DestroyApp();
        m_endProgram();
        return;
    }
    if (frmIntroMsg::ShouldShow()) {
        frmIntroMsg intro;
        ShowModalOwned(&intro, this);
    }
    if (m_showMainWindow) m_showMainWindow();
}
