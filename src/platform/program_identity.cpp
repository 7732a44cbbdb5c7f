#include "platform/program_identity.h"

#include "build_config.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace program_identity {

namespace {
QString g_testPath;
}

QString modulePath() {
    return g_testPath.isEmpty() ? QCoreApplication::applicationFilePath() : g_testPath;
}

QString exeName() {
    const QString file = QFileInfo(modulePath()).fileName();
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? file.left(dot) : file;
}

int versionMajor() {
    return PELORA_VERSION_MAJOR;
}
int versionMinor() {
    return PELORA_VERSION_MINOR;
}
int versionRevision() {
    return PELORA_VERSION_REVISION;
}

void setModulePathForTests(const QString& path) {
    g_testPath = path;
}

}  // namespace program_identity
