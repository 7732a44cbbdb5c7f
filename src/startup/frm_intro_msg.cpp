#include "startup/frm_intro_msg.h"

#include "common/msgbox.h"
#include "platform/app_paths.h"
#include "platform/settings_store.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kConfig = QStringLiteral("Config");
const QString kNoMsg = QStringLiteral("NoMsg");

}  // namespace

frmIntroMsg::frmIntroMsg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmIntroMsg"));
    setWindowTitle(QStringLiteral("안내 메시지"));

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Picture"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_btnClose = new QPushButton(QStringLiteral("닫기(&C)"), this);
    m_btnClose->setObjectName(QStringLiteral("btnClose"));
    m_check1 = new QCheckBox(QStringLiteral("더이상 보지않기"), this);
    m_check1->setObjectName(QStringLiteral("Check1"));
    // The window has always carried a third button without an action; it stays out of sight so that
    // nobody presses a button that does nothing.
    m_command = new QPushButton(this);
    m_command->setObjectName(QStringLiteral("Command"));
    m_command->setVisible(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_check1);
    bar->addStretch(1);
    bar->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_picture, 1);
    layout->addLayout(bar);

    const QString path = PicturePath();
    if (QFileInfo::exists(path)) {
        const QPixmap picture(path);
        if (!picture.isNull()) {
            m_picture->setPixmap(picture);
            m_hasPicture = true;
        }
    }
    if (!m_hasPicture) m_picture->setMinimumSize(360, 200);

    connect(m_btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_check1, &QCheckBox::clicked, this, &frmIntroMsg::onCheck1Clicked);
}

QString frmIntroMsg::PicturePath() {
    return app_paths::imageFolder() + QStringLiteral("/SoftwareInfoMsg.jpg");
}

bool frmIntroMsg::ShouldShow() {
    return settings::get(AppTitle(), kConfig, kNoMsg, QStringLiteral("0")) == QStringLiteral("0");
}

void frmIntroMsg::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

void frmIntroMsg::onCheck1Clicked() {
    settings::save(AppTitle(), kConfig, kNoMsg, QStringLiteral("1"));
    accept();
}
