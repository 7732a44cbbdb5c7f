// The test programs' main: a QApplication on the offscreen platform, a private settings folder, and the
// scripted dialogs installed for every test (a box that no test expects fails it).
#include "common/msgbox.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DialogsListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        testDialogs().reset();
        setDialogs(&testDialogs());
        SetAppTitle(QStringLiteral("펠로라푸드주문서"));
    }
    void OnTestEnd(const testing::TestInfo&) override {
        EXPECT_EQ(testDialogs().pendingAnswers(), 0) << "answers were queued for boxes that never came";
        testDialogs().reset();
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings written by a test stay in a folder of its own.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("굴림"), QStringLiteral("NanumGothic"));
    QFont::insertSubstitution(QStringLiteral("굴림체"), QStringLiteral("NanumGothicCoding"));
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new DialogsListener);
    return RUN_ALL_TESTS();
}
