#include "platform/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace single_instance {

QString lockPath(const QString& name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder + QLatin1Char('/') + name + QStringLiteral(".lock");
}

}  // namespace single_instance
