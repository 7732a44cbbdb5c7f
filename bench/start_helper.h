#pragma once

#include "platform/dialogs.h"

#include <cstdio>
#include <cstdlib>

// The benchmark's helper processes run unattended: any box means the start failed, so it is printed and
// the process ends with a failure instead of waiting for a click.
class FailOnBoxDialogs : public Dialogs {
public:
    int messageBox(const MessageBox& box) override { fail(box.text); }
    QString inputBox(const QString& prompt, const QString&, const QString&) override { fail(prompt); }
    int popupMenu(QWidget*, const QList<MenuItem>&) override { fail(QStringLiteral("pop-up menu")); }
    void setWaitCursor(bool) override {}

private:
    [[noreturn]] static void fail(const QString& text) {
        std::fprintf(stderr, "unexpected box: %s\n", text.toLocal8Bit().constData());
        std::_Exit(3);
    }
};
