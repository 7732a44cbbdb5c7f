#include "platform/settings_folder.h"

#include "platform/app_paths.h"

#include <QDir>
#include <QFileInfo>

namespace settings_folder {

QString defaultFolder() {
    const QString program = app_paths::programFolder();
    if (app_paths::isPortableCopy(program) && QFileInfo(program).isWritable()) return program;
    QString appData = qEnvironmentVariable("APPDATA");
    if (appData.isEmpty()) appData = QDir::homePath() + QStringLiteral("/AppData/Roaming");
    return QDir::fromNativeSeparators(appData) + QStringLiteral("/PeloraOrder");
}

}  // namespace settings_folder
