#pragma once

#include "platform/dialogs.h"

// A fuzz run answers every box with its default button, silently: the codecs report bad input in a box,
// and millions of them on standard error would only slow the run.
class QuietDialogs final : public Dialogs {
public:
    int messageBox(const MessageBox&) override { return ResultOk; }
    QString inputBox(const QString&, const QString&, const QString& defaultText) override {
        return defaultText;
    }
    int popupMenu(QWidget*, const QList<MenuItem>&) override { return 0; }
    void setWaitCursor(bool) override {}

    static void install() {
        static QuietDialogs quiet;
        setDialogs(&quiet);
    }
};
