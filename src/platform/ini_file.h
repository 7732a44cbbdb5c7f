#pragma once

#include <QString>

// Private-profile files: plain INI files read and written one key at a time, in the system's single-byte
// character set (code page 949). Section and key names compare without regard to case. A write rewrites
// the file through a temporary file, so a failed write (a full disk) leaves the former file whole.
namespace ini_file {

// The value of the key (blanks around it removed), or `defaultValue` when the file, the section or the key
// is missing. With bufferSize > 0 the value is cut to bufferSize - 1 characters, as a fixed read buffer
// that keeps room for its terminator does.
QString read(const QString& path, const QString& section, const QString& key,
             const QString& defaultValue = QString(), int bufferSize = 0);

// Writes the key, adding the section and the key when missing and creating the file (not its folder).
// False when the file cannot be written.
bool write(const QString& path, const QString& section, const QString& key, const QString& value);

}  // namespace ini_file
