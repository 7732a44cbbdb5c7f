#pragma once

#include <QString>

// Who the running program is: its executable's base name, its version and the file that holds its code.
namespace program_identity {

// The executable's file name without folder and extension ("PeloraOrder" for PeloraOrder.exe).
QString exeName();
// The full path of the module that hosts the running code: the executable itself here.
QString modulePath();
int versionMajor();
int versionMinor();
int versionRevision();

// Tests stand in for an installed program: exeName() and modulePath() then follow this path. An empty
// path restores the real executable.
void setModulePathForTests(const QString& path);

}  // namespace program_identity
