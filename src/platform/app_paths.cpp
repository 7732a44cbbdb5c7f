#include "platform/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace app_paths {

namespace {
QString g_programFolder;

// How far above the executable a build tree's CMakeCache.txt may sit (build/app/PeloraOrder, and the test
// programs in build/tests/<folder>/).
constexpr int kBuildTreeDepth = 3;
}  // namespace

QString programFolder() {
    return g_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : g_programFolder;
}

void setProgramFolderForTests(const QString& folder) {
    g_programFolder = folder;
}

bool isPortableCopy(const QString& programFolder) {
    QDir dir(programFolder);
    if (dir.exists(QStringLiteral("portable"))) return true;
    for (int level = 0; level < kBuildTreeDepth; ++level) {
        if (dir.exists(QStringLiteral("CMakeCache.txt"))) return true;
        if (!dir.cdUp()) break;
    }
    return false;
}

QString dataFolder() {
    const QString overridden = qEnvironmentVariable("PELORA_DATA_DIR");
    if (!overridden.isEmpty()) return overridden;
    const QString program = programFolder();
    if (isPortableCopy(program) && QFileInfo(program).isWritable()) return program;
    // The user's own folder: the sheets as PDF files, the exported workbooks and the window layouts are
    // the user's business alone, so the folder is its owner's only (created so, narrowed when older).
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(perUser);
    QFile::setPermissions(perUser, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return perUser;
}

QString imageFolder() {
    const QString beside = programFolder() + QStringLiteral("/Image");
    if (QFileInfo(beside).isDir()) return beside;
    return QDir::cleanPath(programFolder() + QStringLiteral("/../share/peloraorder/Image"));
}

}  // namespace app_paths
