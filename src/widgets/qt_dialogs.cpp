#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>

namespace {

QMessageBox::Icon toQtIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Question:
            return QMessageBox::Question;
        case Dialogs::Icon::Exclamation:
            return QMessageBox::Warning;
        case Dialogs::Icon::Critical:
            return QMessageBox::Critical;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int result;
};

QList<ButtonSpec> buttonsOf(Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::Ok:
            return {{QMessageBox::Ok, Dialogs::ResultOk}};
        case Dialogs::Buttons::OkCancel:
            return {{QMessageBox::Ok, Dialogs::ResultOk}, {QMessageBox::Cancel, Dialogs::ResultCancel}};
        case Dialogs::Buttons::YesNo:
            return {{QMessageBox::Yes, Dialogs::ResultYes}, {QMessageBox::No, Dialogs::ResultNo}};
        case Dialogs::Buttons::YesNoCancel:
            return {{QMessageBox::Yes, Dialogs::ResultYes},
                    {QMessageBox::No, Dialogs::ResultNo},
                    {QMessageBox::Cancel, Dialogs::ResultCancel}};
    }
    return {{QMessageBox::Ok, Dialogs::ResultOk}};
}

}  // namespace

int QtDialogs::messageBox(const MessageBox& box) {
    QMessageBox mb(toQtIcon(box.icon), box.title, box.text, QMessageBox::NoButton,
                   QApplication::activeWindow());
    // Texts come from the server, the settings and file names as well: a text that happens to begin
    // like markup ("<html>...") must show as it is, every line of it.
    mb.setTextFormat(Qt::PlainText);
    const QList<ButtonSpec> specs = buttonsOf(box.buttons);
    for (const ButtonSpec& s : specs) mb.addButton(s.button);
    const int defaultIndex = qBound(0, box.defaultButton - 1, int(specs.size()) - 1);
    mb.setDefaultButton(specs[defaultIndex].button);
    // Closing the box with Escape or its close button answers like the last button (No, Cancel or OK).
    mb.setEscapeButton(specs.last().button);
    // A wait cursor set by the caller must not hide the mouse pointer over the box.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int pressed = mb.exec();
    QApplication::restoreOverrideCursor();
    for (const ButtonSpec& s : specs)
        if (s.button == pressed) return s.result;
    return specs.last().result;
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    // The prompt is plain text like every box's text.
    for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

int QtDialogs::popupMenu(QWidget* owner, const QList<MenuItem>& items) {
    QMenu menu(owner);
    for (const MenuItem& item : items) {
        if (item.isSeparator()) {
            menu.addSeparator();
        } else {
            QAction* action = menu.addAction(item.caption);
            action->setData(item.command);
        }
    }
    QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}

void QtDialogs::setWaitCursor(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
