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

// The same file in three parts, for a writer that holds its stream in pieces and need not copy them into
// one buffer: the file is header(size) + the stream's bytes + trailer(name, size). The header is 512
// bytes; the trailer pads the stream to its last sector and holds the directory and the tables.
QByteArray header(qsizetype streamSize);
QByteArray trailer(const QString& streamName, qsizetype streamSize);

}  // namespace compound_file
