#pragma once

#include "platform/shell.h"

#include <QStringList>

// While it lives, the shell starts and opens nothing: it records the documents it was asked to open.
class ShellRecorder {
public:
    ShellRecorder() {
        opened().clear();
        shell::setHook([](const QString& what, const QStringList&, bool isDocument) {
            if (isDocument) opened() << what;
            return true;
        });
    }
    ~ShellRecorder() { shell::setHook(nullptr); }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    static QStringList& opened() {
        static QStringList list;
        return list;
    }
};
