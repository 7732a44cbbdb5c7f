#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

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

// A standard button (translated by Qt), or a button of our own caption when `caption` is set.
struct ButtonSpec {
    QMessageBox::StandardButton button;
    int result;
    QString caption = {};
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
        case Dialogs::Buttons::OkOpenFolder:
            return {{QMessageBox::Ok, Dialogs::ResultOk},
                    {QMessageBox::NoButton, Dialogs::ResultOpenFolder, QStringLiteral("폴더 열기")}};
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
    QList<QAbstractButton*> buttons;
    for (const ButtonSpec& s : specs)
        buttons << (s.caption.isEmpty() ? static_cast<QAbstractButton*>(mb.addButton(s.button))
                                        : mb.addButton(s.caption, QMessageBox::ActionRole));
    const int defaultIndex = qBound(0, box.defaultButton - 1, int(specs.size()) - 1);
    mb.setDefaultButton(qobject_cast<QPushButton*>(buttons[defaultIndex]));
    // Closing the box with Escape or its close button answers like the first button of a box with a
    // button of its own (OK), otherwise like the last one (No, Cancel or OK).
    const bool ownButton = !specs.last().caption.isEmpty();
    mb.setEscapeButton(ownButton ? buttons.first() : buttons.last());
    // A wait cursor set by the caller must not hide the mouse pointer over the box.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    mb.exec();
    QApplication::restoreOverrideCursor();
    for (int i = 0; i < buttons.size(); ++i)
        if (mb.clickedButton() == buttons[i]) return specs[i].result;
    return ownButton ? specs.first().result : specs.last().result;
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
