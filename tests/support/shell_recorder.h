#pragma once

#include "platform/shell.h"

#include <QFileInfo>
#include <QStringList>

// While it lives, the shell starts and opens nothing: it records the documents it was asked to open.
// With setOpensFiles(false) it answers like a desktop where no program is associated with files (folders
// still open).
class ShellRecorder {
public:
    ShellRecorder() {
        opened().clear();
        opensFiles() = true;
        shell::setHook([](const QString& what, const QStringList&, bool isDocument) {
            if (isDocument) opened() << what;
            return !isDocument || opensFiles() || QFileInfo(what).isDir();
        });
    }
    static void setOpensFiles(bool opens) { opensFiles() = opens; }
    ~ShellRecorder() { shell::setHook(nullptr); }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    static QStringList& opened() {
        static QStringList list;
        return list;
    }

private:
    static bool& opensFiles() {
        static bool opens = true;
        return opens;
    }
};
