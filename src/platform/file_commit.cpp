#include "platform/file_commit.h"

#include "platform/file_flush.h"

#include <QSaveFile>

namespace file_commit {

namespace {

bool commit(const QString& path, std::initializer_list<QByteArrayView> parts, bool ownerOnly,
            QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    QSaveFile file(path);
    // Unbuffered: a write the disk refuses fails at once with its reason, instead of in a flush whose
    // failure the final rename does not see (which would put a truncated file in the old one's place).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(file.errorString());
    // The temporary file is narrowed before the secret goes in; it takes the name with these rights.
    if (ownerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    for (const QByteArrayView bytes : parts) {
        qint64 written = 0;
        while (written < bytes.size()) {
            const qint64 n = file.write(bytes.data() + written, bytes.size() - written);
            if (n <= 0) {
                // The reason first: cancelling replaces it with a text of its own.
                const QString why = file.errorString();
                file.cancelWriting();
                return fail(why);
            }
            written += n;
        }
    }
    // The data on the disk before the name moves: a failure of the flush is a failed write too.
    if (const QString why = file_flush::flushToDisk(file.handle()); !why.isEmpty()) {
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}

}  // namespace

bool replaceFile(const QString& path, const QByteArray& bytes, QString* error) {
    return commit(path, {QByteArrayView(bytes)}, false, error);
}

bool replaceFile(const QString& path, std::initializer_list<QByteArrayView> parts, QString* error) {
    return commit(path, parts, false, error);
}

bool replacePrivateFile(const QString& path, const QByteArray& bytes, QString* error) {
    return commit(path, {QByteArrayView(bytes)}, true, error);
}

}  // namespace file_commit
