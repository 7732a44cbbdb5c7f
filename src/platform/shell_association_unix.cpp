#include "platform/shell_association.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>

namespace shell_association {

// On the Linux desktops, opening a document starts xdg-open, which reports success even when no program
// is associated with the file's type (common for .XLS files): the program would then promise a workbook
// that never appears. Ask the desktop's association first.
bool nothingIsAssociated(const QString& path) {
    if (!QFileInfo::exists(path)) return false;  // a URL: the browser takes it
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForStarted(3000)) return false;
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed().isEmpty();
}

}  // namespace shell_association
