#include "platform/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace app_paths {

namespace {
QString g_programFolder;
}

QString programFolder() {
    return g_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : g_programFolder;
}

void setProgramFolderForTests(const QString& folder) {
    g_programFolder = folder;
}

QString dataFolder() {
    const QString overridden = qEnvironmentVariable("PELORA_DATA_DIR");
    if (!overridden.isEmpty()) return overridden;
    const QString program = programFolder();
    if (QFileInfo(program).isWritable()) return program;
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(perUser);
    return perUser;
}

}  // namespace app_paths
