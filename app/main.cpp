// The program: the application object, then the start-up, which hands over to the login window or the
// main window through the functions given here.
#include "common/msgbox.h"
#include "orders/frm_main.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/language.h"
#include "platform/printer/page_printer.h"
#include "print/print_canvas.h"
#include "startup/frm_login.h"
#include "startup/mod_main.h"
#include "widgets/desktop_look.h"
#include "widgets/qt_dialogs.h"
#include "widgets/server_wait.h"

#include <QApplication>

namespace {

bool anyWindowShown() {
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The desktop's menu entry (peloraorder.desktop) is the program's: its windows carry that entry's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("peloraorder"));
    installKoreanLanguage();
    installFontSubstitutes();
    applyDesktopLook();
    static QtDialogs boxes;
    setDialogs(&boxes);
    // Statements on the server wait beside the window, which keeps painting and offers to cancel.
    static ServerWaiter serverWaiter;
    blocking_wait::setWaiter(&serverWaiter);
    ReportErrorsInBoxes();
    // The sheets go to the printers the page printer knows.
    ProgramPrinters().SetInstalledPrintersSource(&page_printer::installedPrinterNames);

    StartHandOver handOver;
    // The main window ends the session when it closes; the login window hands over to it after a login.
    const auto showMainWindow = [] {
        auto* main = new frmMain;
        main->setAttribute(Qt::WA_DeleteOnClose);
        main->show();
    };
    handOver.showLoginWindow = [showMainWindow] {
        auto* login = new FrmLogin(showMainWindow);
        login->setAttribute(Qt::WA_DeleteOnClose);
        login->show();
    };
    handOver.showMainWindow = showMainWindow;

    if (Main(handOver) == StartOutcome::Ended) return 0;
    // The session lives on in the window the start-up opened; with none, there is nothing to wait for.
    if (!anyWindowShown()) {
        DestroyApp();
        return 0;
    }
    return app.exec();
}
