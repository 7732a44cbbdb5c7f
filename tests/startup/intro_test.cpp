// The intro notice: its picture when present, and "더이상 보지않기" as the only way to turn it off.
#include "startup/frm_intro_msg.h"

#include "common/msgbox.h"
#include "platform/app_paths.h"
#include "platform/settings_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QString noMsg() {
    return settings::get(AppTitle(), QStringLiteral("Config"), QStringLiteral("NoMsg"),
                         QStringLiteral("<none>"));
}

class IntroTest : public testing::Test {
protected:
    void SetUp() override { settings::remove(AppTitle(), QStringLiteral("Config"), QStringLiteral("NoMsg")); }
    void TearDown() override { QFile::remove(frmIntroMsg::PicturePath()); }
};

TEST_F(IntroTest, WithoutAPictureTheWindowOpensAndItsCloseWaysKeepTheNoticeOn) {
    QFile::remove(frmIntroMsg::PicturePath());
    EXPECT_TRUE(frmIntroMsg::ShouldShow());
    {
        frmIntroMsg intro;
        EXPECT_EQ(intro.windowTitle(), QStringLiteral("안내 메시지"));
        EXPECT_FALSE(intro.HasPicture());
        QTimer::singleShot(0, &intro, [&] { intro.btnClose()->click(); });
        intro.exec();
    }
    {
        // The close box, and keys, which do nothing (Escape included).
        frmIntroMsg intro;
        QTimer::singleShot(0, &intro, [&] {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&intro, &escape);
            EXPECT_TRUE(intro.isVisible());
            intro.close();
        });
        intro.exec();
    }
    EXPECT_EQ(noMsg(), QStringLiteral("<none>"));
    EXPECT_TRUE(frmIntroMsg::ShouldShow());
}

TEST_F(IntroTest, NeverAgainTurnsTheNoticeOffForGood) {
    frmIntroMsg intro;
    QTimer::singleShot(0, &intro, [&] { intro.Check1()->click(); });
    intro.exec();
    EXPECT_FALSE(intro.isVisible());
    EXPECT_EQ(noMsg(), QStringLiteral("1"));
    EXPECT_FALSE(frmIntroMsg::ShouldShow());
}

TEST_F(IntroTest, ThePictureDeliveredWithTheProgramIsShown) {
    ASSERT_TRUE(QDir().mkpath(app_paths::programFolder() + QStringLiteral("/Image")));
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(frmIntroMsg::PicturePath(), "JPG"));
    frmIntroMsg intro;
    EXPECT_TRUE(intro.HasPicture());
}

}  // namespace
