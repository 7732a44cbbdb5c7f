#pragma once

#include <QString>

// Where the program lives and where it keeps its files.
namespace app_paths {

// The folder of the executable (Image/ and the downloaded setup program live here).
QString programFolder();
// Tests put the program's folder elsewhere (a temporary folder holding a stand-in launcher); an empty
// path restores the executable's folder.
void setProgramFolderForTests(const QString& folder);
// The folder for FormIni/, ExpExcel/ and Print/: the program's folder when it is writable (a portable
// install), otherwise the per-user data location. PELORA_DATA_DIR overrides both (tests use it).
QString dataFolder();

}  // namespace app_paths
