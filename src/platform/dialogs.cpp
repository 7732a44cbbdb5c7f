#include "platform/dialogs.h"

#include <cstdio>

namespace {

// Until the program installs its windowed dialogs (or a test its scripted ones), nobody can answer a box:
// the text goes to standard error and the box's default button is taken, as an unattended run would.
class UnattendedDialogs final : public Dialogs {
public:
    int messageBox(const MessageBox& box) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(box.title), qPrintable(box.text));
        return resultOf(box);
    }
    QString inputBox(const QString&, const QString&, const QString& defaultText) override {
        return defaultText;
    }
    int popupMenu(QWidget*, const QList<MenuItem>&) override { return 0; }
    void setWaitCursor(bool) override {}

private:
    static int resultOf(const MessageBox& box) {
        switch (box.buttons) {
            case Buttons::Ok:
                return ResultOk;
            case Buttons::OkOpenFolder:
                return box.defaultButton == 2 ? ResultOpenFolder : ResultOk;
            case Buttons::OkCancel:
                return box.defaultButton == 2 ? ResultCancel : ResultOk;
            case Buttons::YesNo:
                return box.defaultButton == 2 ? ResultNo : ResultYes;
            case Buttons::YesNoCancel:
                return box.defaultButton == 3 ? ResultCancel : box.defaultButton == 2 ? ResultNo : ResultYes;
        }
        return ResultOk;
    }
};

UnattendedDialogs g_unattended;
Dialogs* g_current = nullptr;

}  // namespace

Dialogs& dialogs() {
    return g_current ? *g_current : g_unattended;
}

void setDialogs(Dialogs* d) {
    g_current = d;
}
