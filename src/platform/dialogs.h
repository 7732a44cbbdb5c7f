#pragma once

#include <QList>
#include <QString>

class QWidget;

// Everything modal that the program asks of the user goes through this interface: message boxes, input
// boxes, the pop-up menu and the wait cursor. The program has one current instance (the Qt one in the
// program, a scripted one in tests).
class Dialogs {
public:
    enum class Icon { None, Information, Question, Exclamation, Critical };
    // OkOpenFolder: "확인" and "폴더 열기", for a box that tells where a file was written.
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, OkOpenFolder };
    // The platform's message-box results, and the folder button of OkOpenFolder.
    enum Result { ResultOk = 1, ResultCancel = 2, ResultYes = 6, ResultNo = 7, ResultOpenFolder = 100 };

    struct MessageBox {
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        int defaultButton = 1;  // 1 = first button, 2 = second, 3 = third
    };

    // One pop-up menu entry: a command number and its caption, or a separator (command 0, empty caption).
    struct MenuItem {
        int command = 0;
        QString caption;
        bool isSeparator() const { return command == 0 && caption.isEmpty(); }
    };

    virtual ~Dialogs() = default;

    // Shows a modal box and returns the pressed button's Result.
    virtual int messageBox(const MessageBox& box) = 0;
    // Shows a modal input box; the answer, or the empty text for Cancel.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    // Shows a pop-up menu at the mouse pointer owned by `owner`; the chosen command, 0 when dismissed.
    virtual int popupMenu(QWidget* owner, const QList<MenuItem>& items) = 0;
    // Shows or removes the wait (hourglass) cursor; calls nest.
    virtual void setWaitCursor(bool on) = 0;
};

// The program's current instance. Never null: until the program installs its windowed boxes (QtDialogs),
// an unattended stand-in takes each box's default button.
Dialogs& dialogs();
// Installs `d` (not owned) as the current instance; nullptr restores the unattended stand-in.
void setDialogs(Dialogs* d);

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
public:
    WaitCursor() { dialogs().setWaitCursor(true); }
    ~WaitCursor() { dialogs().setWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
