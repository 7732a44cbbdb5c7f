#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

namespace shell {

namespace {
Hook g_hook = nullptr;

// On the Linux desktops, opening a document starts xdg-open, which reports success even when no program
// is associated with the file's type (common for .XLS files): the program would then promise a workbook
// that never appears. Ask the desktop's association first. When it cannot be asked, opening decides.
bool nothingIsAssociated(const QString& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
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
#else
    Q_UNUSED(path);
    return false;
#endif
}

}  // namespace

void setHook(Hook hook) {
    g_hook = hook;
}

bool runProgram(const QString& path, const QStringList& arguments) {
    if (g_hook) return g_hook(path, arguments, false);
    return QProcess::startDetached(path, arguments, QFileInfo(path).absolutePath());
}

bool openDocument(const QString& pathOrUrl) {
    if (g_hook) return g_hook(pathOrUrl, {}, true);
    if (nothingIsAssociated(pathOrUrl)) return false;
    const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl) : QUrl(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

}  // namespace shell
