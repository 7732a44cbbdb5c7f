#pragma once

#include "platform/dialogs.h"

// The real boxes: QMessageBox, QInputDialog, QMenu and the application's override cursor.
class QtDialogs : public Dialogs {
public:
    int messageBox(const MessageBox& box) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    int popupMenu(QWidget* owner, const QList<MenuItem>& items) override;
    void setWaitCursor(bool on) override;
};
