#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <initializer_list>

// Replacing a file as a whole: the new content goes to a temporary file beside it, every write and the
// flush to the disk are checked, and only then does it take the file's name. On any failure (a full
// disk above all) the former file stays as it was, or there is none, and `error` holds the system's
// reason ("No space left on device").
namespace file_commit {

bool replaceFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same for content held in pieces, written one after the other without joining them first.
bool replaceFile(const QString& path, std::initializer_list<QByteArrayView> parts, QString* error = nullptr);
// The same for a file that holds a secret (a password): readable and writable by its owner alone, from
// the moment its content is written; a former file that others could read is replaced by such a one.
bool replacePrivateFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

}  // namespace file_commit
