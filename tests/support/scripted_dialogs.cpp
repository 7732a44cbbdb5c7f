#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace {
const char* kindName(ScriptedDialogs::Kind k) {
    switch (k) {
        case ScriptedDialogs::Kind::Message:
            return "message box";
        case ScriptedDialogs::Kind::Input:
            return "input box";
        case ScriptedDialogs::Kind::Menu:
            return "pop-up menu";
    }
    return "box";
}
}  // namespace

void ScriptedDialogs::answer(int result) {
    m_queue.append({Kind::Message, result, false, {}});
}
void ScriptedDialogs::answerDefault() {
    m_queue.append({Kind::Message, 0, true, {}});
}
void ScriptedDialogs::answerInput(const QString& text) {
    m_queue.append({Kind::Input, 0, false, text});
}
void ScriptedDialogs::answerMenu(int command) {
    m_queue.append({Kind::Menu, command, false, {}});
}

void ScriptedDialogs::reset() {
    m_boxes.clear();
    m_queue.clear();
    m_whileShown = nullptr;
    m_waitDepth = 0;
    m_waitShows = 0;
}

bool ScriptedDialogs::take(Kind kind, const Box& box, Answer* out) {
    m_boxes.append(box);
    if (m_whileShown) {
        auto action = std::move(m_whileShown);
        m_whileShown = nullptr;
        action(box);
    }
    if (m_queue.isEmpty() || m_queue.first().kind != kind) {
        ADD_FAILURE() << "unexpected " << kindName(kind) << ": \"" << box.text.toStdString() << "\" (title \""
                      << box.title.toStdString() << "\")";
        return false;
    }
    *out = m_queue.takeFirst();
    return true;
}

int ScriptedDialogs::messageBox(const MessageBox& mb) {
    Box box;
    box.kind = Kind::Message;
    box.text = mb.text;
    box.title = mb.title;
    box.icon = mb.icon;
    box.buttons = mb.buttons;
    box.defaultButton = mb.defaultButton;
    auto resultOfButton = [&](int index) {
        switch (mb.buttons) {
            case Buttons::Ok:
                return int(ResultOk);
            case Buttons::OkOpenFolder:
                return index == 2 ? int(ResultOpenFolder) : int(ResultOk);
            case Buttons::OkCancel:
                return index == 1 ? int(ResultOk) : int(ResultCancel);
            case Buttons::YesNo:
                return index == 1 ? int(ResultYes) : int(ResultNo);
            case Buttons::YesNoCancel:
                return index == 1 ? int(ResultYes) : index == 2 ? int(ResultNo) : int(ResultCancel);
        }
        return int(ResultOk);
    };
    Answer a;
    if (!take(Kind::Message, box, &a)) return resultOfButton(3);
    return a.useDefault ? resultOfButton(mb.defaultButton) : a.result;
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    Box box;
    box.kind = Kind::Input;
    box.text = prompt;
    box.title = title;
    box.defaultText = defaultText;
    Answer a;
    if (!take(Kind::Input, box, &a)) return QString();
    return a.text;
}

int ScriptedDialogs::popupMenu(QWidget*, const QList<MenuItem>& items) {
    Box box;
    box.kind = Kind::Menu;
    box.items = items;
    Answer a;
    if (!take(Kind::Menu, box, &a)) return 0;
    return a.result;
}

void ScriptedDialogs::setWaitCursor(bool on) {
    if (on) {
        ++m_waitDepth;
        ++m_waitShows;
    } else if (m_waitDepth > 0) {
        --m_waitDepth;
    }
}

ScriptedDialogs& testDialogs() {
    static ScriptedDialogs instance;
    return instance;
}
