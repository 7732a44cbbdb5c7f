#include "platform/shell.h"

#include "platform/shell_association.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace shell {

namespace {
Hook g_hook = nullptr;
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
    if (shell_association::nothingIsAssociated(pathOrUrl)) return false;
    const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl) : QUrl(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

}  // namespace shell
