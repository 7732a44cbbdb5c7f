// The test programs' main: the application object on the offscreen platform, private settings and runtime
// folders, the font substitutes, the failure reports shown as boxes, and the scripted dialogs installed for
// every test (a box that no test expects fails it). The programs of the layers below the widgets are built
// with PELORA_TEST_CORE: they get a QGuiApplication (fonts, the focus the boxes give back) and link no
// widget library.
#include "common/msgbox.h"
#include "platform/fonts.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"

#ifdef PELORA_TEST_CORE
#include <QFile>
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QApplication>
using TestApplication = QApplication;
#endif
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
    // Settings written by a test stay in a folder of its own, and so do the files of its runtime folder
    // (the single-instance lock): test programs that run side by side share neither.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    QTemporaryDir runtimeDir;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toUtf8());
    // The machine's own print service stays out of the tests: unless a test run names the scheduler it
    // started, the print clients are pointed at a file that is no socket, so that connecting fails at once
    // and no printer is installed (a missing path would make the client library fall back to the machine's
    // scheduler).
    if (!qEnvironmentVariableIsSet("CUPS_SERVER")) {
        const QString noService = runtimeDir.path() + QStringLiteral("/no-print-service.sock");
        QFile(noService).open(QIODevice::WriteOnly);
        qputenv("CUPS_SERVER", noService.toUtf8());
    }
    // A database server that a test starts of its own makes the database this program uses.
    qputenv("PELORA_TESTDB_NAME", testdb::programDatabase().toUtf8());
    TestApplication app(argc, argv);
    installFontSubstitutes();
    ReportErrorsInBoxes();
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new DialogsListener);
    return RUN_ALL_TESTS();
}
