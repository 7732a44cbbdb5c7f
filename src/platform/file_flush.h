#pragma once

#include <QString>

namespace file_flush {

// Puts what was written to an open file on the disk; why not, or empty when it is there (or when the file
// system cannot flush, which is no failure of the write). `handle` is QFileDevice::handle().
QString flushToDisk(int handle);

}  // namespace file_flush
