#include "platform/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace app_paths {

QString programFolder() { return QCoreApplication::applicationDirPath(); }

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
