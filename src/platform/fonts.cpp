#include "platform/fonts.h"

#include "platform/app_paths.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>

void installFontSubstitutes() {
    // Fonts shipped beside the program (the Windows installer ships the Nanum fonts there, so that printed
    // sheets match those printed on Linux); a Debian installation has them from its font packages.
    const QDir shipped(app_paths::programFolder() + QStringLiteral("/fonts"));
    for (const QString& file : shipped.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(shipped.filePath(file));
    QFont::insertSubstitution(QStringLiteral("굴림"), QStringLiteral("NanumGothic"));
    QFont::insertSubstitution(QStringLiteral("굴림체"), QStringLiteral("NanumGothicCoding"));
}
