#include "startup/frm_connection.h"

#include "common/codecs.h"
#include "common/msgbox.h"
#include "db/cmysql.h"
#include "db/host_list.h"
#include "platform/app_error.h"
#include "platform/dialogs.h"
#include "platform/settings_store.h"
#include "startup/session.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString kServerSection = QStringLiteral("서버정보");
constexpr int kDefaultPort = 3306;

// The password goes to the settings store in base64 of its Latin-1 bytes, as the connection manager keeps
// it: a character outside Latin-1 could not be read back.
bool storablePassword(const QString& password) {
    for (QChar c : password)
        if (c.unicode() > 0xFF) return false;
    return true;
}

}  // namespace

FrmConnection::FrmConnection(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("서버 연결 설정"));
    CreateControls();
    m_txtHost->setText(settings::get(kConnectionManagerApp, kServerSection, QStringLiteral("IP")));
    m_txtPort->setValue(settings::get(kConnectionManagerApp, kServerSection, QStringLiteral("Port"),
                                      QString::number(kDefaultPort))
                            .toInt());
    m_txtDatabase->setText(settings::get(kConnectionManagerApp, kServerSection, QStringLiteral("DB명")));
    m_txtUser->setText(settings::get(kConnectionManagerApp, kServerSection, QStringLiteral("ID")));
}

void FrmConnection::CreateControls() {
    auto* intro = new QLabel(QStringLiteral("주문 데이터베이스에 연결할 정보를 입력하세요.\n"
                                            "연결 시험으로 확인한 뒤 저장하면 로그인 창이 열립니다."),
                             this);
    intro->setTextFormat(Qt::PlainText);
    m_txtHost = new QLineEdit(this);
    m_txtHost->setPlaceholderText(QStringLiteral("예: 192.168.0.10 또는 10.0.0.5,10.0.0.6:3307"));
    m_txtPort = new QSpinBox(this);
    m_txtPort->setRange(1, 65535);
    m_txtPort->setValue(kDefaultPort);
    m_txtDatabase = new QLineEdit(this);
    m_txtUser = new QLineEdit(this);
    m_txtPassword = new QLineEdit(this);
    m_txtPassword->setEchoMode(QLineEdit::Password);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("서버 주소"), m_txtHost);
    form->addRow(QStringLiteral("포트"), m_txtPort);
    form->addRow(QStringLiteral("데이터베이스"), m_txtDatabase);
    form->addRow(QStringLiteral("사용자"), m_txtUser);
    form->addRow(QStringLiteral("비밀번호"), m_txtPassword);

    auto* buttons = new QDialogButtonBox(this);
    m_btnTest = buttons->addButton(QStringLiteral("연결 시험"), QDialogButtonBox::ActionRole);
    m_btnSave = buttons->addButton(QStringLiteral("저장"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
    m_btnSave->setDefault(true);
    connect(m_btnTest, &QPushButton::clicked, this, [this] { TestConnection(); });
    connect(m_btnSave, &QPushButton::clicked, this, &FrmConnection::SaveConnection);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

QString FrmConnection::ConnectionFailure(long* number) const {
    if (number) *number = 0;
    if (m_txtHost->text().trimmed().isEmpty()) return QStringLiteral("서버 주소를 입력하세요.");
    // Several servers (a cluster) are a comma-separated list, each with an optional port of its own.
    const DBHostList hosts = ParseHostList(m_txtHost->text().trimmed(), m_txtPort->value());
    if (!hosts.ok()) return hosts.error;
    if (!storablePassword(m_txtPassword->text()))
        return QStringLiteral("비밀번호에는 영문, 숫자와 기호만 쓸 수 있습니다.");
    WaitCursor wait;
    try {
        cMySQL connection;
        connection.setCharacterSet(QStringLiteral("latin1"));
        // noErrMsg: the window says what went wrong in one box of its own.
        if (connection.real_connect(m_txtHost->text().trimmed(), m_txtUser->text(), m_txtPassword->text(),
                                    m_txtDatabase->text().trimmed(), m_txtPort->value(), QString(), 0, true))
            return QString();
        if (number) *number = connection.err_no();
        return QStringLiteral("%1 (%2)").arg(connection.err_description()).arg(connection.err_no());
    } catch (const AppError& e) {
        if (number) *number = e.number();
        return e.description();
    }
}

void FrmConnection::ShowFailure(const QString& failure, long number, const QString& outcome) const {
    if (number == 0) {  // a value the window itself refuses: the text says what to do
        ShowInfoMsg(outcome + QStringLiteral("\r\n") + failure);
        return;
    }
    // What happened and what to do first; the server's own line below it, for whoever supports the office.
    QString what;
    switch (number) {
        case 1045:
            what = QStringLiteral("아이디 또는 비밀번호가 맞지 않습니다. 사용자와 비밀번호를 확인하세요.");
            break;
        case 1044:
        case 1049:
            what =
                QStringLiteral("데이터베이스 이름이 맞지 않거나 이 사용자가 쓸 수 없는 데이터베이스입니다.");
            break;
        case 2002:
        case 2003:
        case 2005:
            what = QStringLiteral(
                       "서버(%1:%2)에 연결할 수 없습니다. 서버 주소와 포트가 맞는지, 서버가 켜져 "
                       "있는지 확인하세요.")
                       .arg(m_txtHost->text().trimmed())
                       .arg(m_txtPort->value());
            break;
        default:
            what = QStringLiteral("서버에 연결하지 못했습니다.");
            break;
    }
    ShowErrorMsg(what + QLatin1Char(' ') + outcome,
                 AppError(number, QStringLiteral("cMySQL::real_connect"), failure));
}

bool FrmConnection::TestConnection() {
    long number = 0;
    const QString failure = ConnectionFailure(&number);
    if (failure.isEmpty()) {
        ShowInfoMsg(QStringLiteral("서버에 연결되었습니다."));
        return true;
    }
    ShowFailure(failure, number, QStringLiteral("연결 시험에 실패했습니다."));
    return false;
}

void FrmConnection::SaveConnection() {
    long number = 0;
    const QString failure = ConnectionFailure(&number);
    if (!failure.isEmpty()) {
        ShowFailure(failure, number, QStringLiteral("연결 정보를 저장하지 않았습니다."));
        return;
    }
    const auto save = [](const char* key, const QString& value) {
        settings::save(kConnectionManagerApp, kServerSection, QString::fromUtf8(key), value);
    };
    save("IP", m_txtHost->text().trimmed());
    save("Port", QString::number(m_txtPort->value()));
    save("DB명", m_txtDatabase->text().trimmed());
    save("ID", m_txtUser->text());
    save("PWD", EncodeStr(m_txtPassword->text()));
    // Written last: from now on the start reads the connection from these settings.
    save("서버Type", QStringLiteral("1"));
    accept();
}

bool AskServerConnection() {
    FrmConnection window;
    return window.exec() == QDialog::Accepted;
}
