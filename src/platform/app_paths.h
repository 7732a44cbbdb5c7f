#pragma once

#include <QString>

// Where the program lives and where it keeps its files.
namespace app_paths {

// The folder of the executable (the downloaded setup program lives here).
QString programFolder();
// Tests put the program's folder elsewhere (a temporary folder holding a stand-in launcher); an empty
// path restores the executable's folder.
void setProgramFolderForTests(const QString& folder);

// True for a copy that keeps its data beside itself: a portable copy (a file named "portable" beside the
// executable) or a development copy (the executable inside a CMake build tree). An installed program
// (/usr/bin, ~/.local/bin, ...) is neither, whether or not its folder is writable.
bool isPortableCopy(const QString& programFolder);
// The folder for FormIni/, ExpExcel/ and Print/: the program's folder for a portable or development copy
// whose folder is writable, otherwise the per-user data location (~/.local/share/PeloraOrder).
// PELORA_DATA_DIR overrides both (tests and the demo use it).
QString dataFolder();
// The folder of the pictures (Image/): beside the program when it has one there (a portable or
// development copy), otherwise where an installation keeps them, <prefix>/share/peloraorder/Image.
QString imageFolder();

}  // namespace app_paths
