#pragma once

#include <QByteArray>

// The container of an Excel 97-2003 workbook: a compound file (version 3, 512-byte sectors) that holds
// exactly one stream. Streams shorter than the 4096-byte cut-off would belong in the mini stream; the
// caller pads them instead (Excel ignores bytes after the workbook's last record), so only the regular
// sector chain is needed.
namespace compound_file {

// The streams shorter than this must be padded to it by the caller.
inline constexpr int kMiniStreamCutoff = 4096;

// The whole file: header, the stream's sectors, one directory sector, the allocation table and, beyond
// 109 table sectors, the extra table-locating sectors.
QByteArray build(const QString& streamName, const QByteArray& stream);

}  // namespace compound_file
