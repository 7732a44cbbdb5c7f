#pragma once

#include "platform/dialogs.h"
#include "support/qt_printers.h"

#include <QList>
#include <QString>

#include <functional>

// The tests' Dialogs: records every box and answers from a queue. A box that no queued answer expects
// fails the running test (and is answered with its last button: No, Cancel or OK).
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, Input, Menu };

    struct Box {
        Kind kind = Kind::Message;
        QString text;  // message text, input prompt
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        int defaultButton = 1;
        QString defaultText;    // input boxes
        QList<MenuItem> items;  // pop-up menus
    };

    // Queue the answer to the next message box: a Result (ResultOk, ResultYes, ...).
    void answer(int result);
    // Queue "press Enter" for the next message box: its default button.
    void answerDefault();
    // Queue the answer to the next input box (an empty text is Cancel).
    void answerInput(const QString& text);
    // Queue the command chosen in the next pop-up menu (0 dismisses it).
    void answerMenu(int command);
    // Run `action` while the next box of any kind is open, before it is answered from the queue.
    void whileShown(std::function<void(const Box&)> action) { m_whileShown = std::move(action); }

    const QList<Box>& boxes() const { return m_boxes; }
    const Box& last() const { return m_boxes.last(); }
    int pendingAnswers() const { return int(m_queue.size()); }
    int waitCursorDepth() const { return m_waitDepth; }
    int waitCursorShows() const { return m_waitShows; }
    void reset();

    int messageBox(const MessageBox& box) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    int popupMenu(QWidget* owner, const QList<MenuItem>& items) override;
    void setWaitCursor(bool on) override;

private:
    struct Answer {
        Kind kind;
        int result = 0;
        bool useDefault = false;
        QString text;
    };
    bool take(Kind kind, const Box& box, Answer* out);

    QList<Box> m_boxes;
    QList<Answer> m_queue;
    std::function<void(const Box&)> m_whileShown;
    int m_waitDepth = 0;
    int m_waitShows = 0;
};

// The instance that the test program installs for every test.
ScriptedDialogs& testDialogs();
