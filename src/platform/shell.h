#pragma once

#include <QString>
#include <QStringList>

// Starting other programs and opening documents, as the Windows shell's "Open" does.
namespace shell {

// Starts a program file without waiting for it. False when it cannot be started.
bool runProgram(const QString& path, const QStringList& arguments = {});
// Opens a file, folder or URL with the system's associated program. False when nothing could open it
// (also when no program is associated with the file's type).
bool openDocument(const QString& pathOrUrl);

// Tests replace the shell so that nothing is started for real: each call is handed to the hook instead,
// whose answer is returned. An empty hook restores the real shell.
using Hook = bool (*)(const QString& what, const QStringList& arguments, bool isDocument);
void setHook(Hook hook);

}  // namespace shell
