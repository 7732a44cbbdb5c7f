#include "common/msgbox.h"

#include "platform/app_error.h"
#include "platform/dialogs.h"
#include "platform/error_reporter.h"
#include "platform/shell.h"

#include <QGuiApplication>
#include <QPointer>
#include <QVariant>

namespace {

QString g_appTitle = QStringLiteral("펠로라푸드주문서");

QString titleOr(const QString& title) {
    return title.isEmpty() ? g_appTitle : title;
}

// Shows a box and gives the keyboard focus back to the control that had it before, when that control
// still exists and can take it.
// The control is reached as an object (its "visible" and "enabled" properties and its setFocus slot), so
// that the boxes need no widget library of their own.
int showKeepingFocus(const Dialogs::MessageBox& box) {
    QPointer<QObject> focused = QGuiApplication::focusObject();
    const int result = dialogs().messageBox(box);
    if (focused && focused->property("visible").toBool() && focused->property("enabled").toBool())
        QMetaObject::invokeMethod(focused, "setFocus");
    return result;
}

// The reports of the layers below the windows, as boxes.
class BoxErrorReporter final : public ErrorReporter {
public:
    void plainMessage(const QString& text) override { ShowPlainMsg(text); }
    void procedureError(const QString& procedure, const QString& module, const AppError& error) override {
        ShowProcError(procedure, module, error);
    }
    void errorMessage(const QString& context, const AppError& error) override {
        ShowErrorMsg(context, error);
    }
};

}  // namespace

QString AppTitle() {
    return g_appTitle;
}

void SetAppTitle(const QString& title) {
    g_appTitle = title;
}

void ReportErrorsInBoxes() {
    static BoxErrorReporter reporter;
    setErrorReporter(&reporter);
}

void ShowInfoMsg(const QString& text, const QString& title) {
    showKeepingFocus({text, titleOr(title), Dialogs::Icon::Information, Dialogs::Buttons::Ok, 1});
}

void ShowFilesMsg(const QString& text, const QString& folder) {
    const int answer = showKeepingFocus(
        {text, titleOr(QString()), Dialogs::Icon::Information, Dialogs::Buttons::OkOpenFolder, 1});
    if (answer == Dialogs::ResultOpenFolder) shell::openDocument(folder);
}

void ShowOutcomeMsg(const QString& text, const QString& folder, bool failed) {
    const int answer =
        showKeepingFocus({text, failed ? QStringLiteral("오류") : titleOr(QString()),
                          failed ? Dialogs::Icon::Exclamation : Dialogs::Icon::Information,
                          folder.isEmpty() ? Dialogs::Buttons::Ok : Dialogs::Buttons::OkOpenFolder, 1});
    if (answer == Dialogs::ResultOpenFolder) shell::openDocument(folder);
}

int ShowQuestionMsg(const QString& text, const QString& title, bool defaultYes) {
    const int r = showKeepingFocus(
        {text, titleOr(title), Dialogs::Icon::Question, Dialogs::Buttons::YesNo, defaultYes ? 1 : 2});
    return r == Dialogs::ResultYes ? kYes : kNo;
}

int ShowErrorMsg(const QString& context, const AppError& error) {
    const QString text = context + QStringLiteral("\r\n오류번호 : ") + QString::number(error.number()) +
                         QStringLiteral("\r\n오류내용 : ") + error.description();
    showKeepingFocus({text, QStringLiteral("오류"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok, 1});
    return 0;
}

void ShowProcError(const QString& procedure, const QString& module, const AppError& error, ProcOwner owner) {
    QString text = QStringLiteral("Error ") + QString::number(error.number()) + QStringLiteral(" (") +
                   error.description() + QStringLiteral(") in procedure ") + procedure;
    if (!module.isEmpty())
        text +=
            (owner == ProcOwner::Form ? QStringLiteral(" of Form ") : QStringLiteral(" of Module ")) + module;
    ShowPlainMsg(text);
}

void ShowPlainMsg(const QString& text) {
    dialogs().messageBox({text, g_appTitle, Dialogs::Icon::None, Dialogs::Buttons::Ok, 1});
}
