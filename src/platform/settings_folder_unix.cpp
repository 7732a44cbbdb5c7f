#include "platform/settings_folder.h"

#include <QDir>

namespace settings_folder {

QString defaultFolder() {
    return QDir::homePath() + QStringLiteral("/.config");
}

}  // namespace settings_folder
