#include "platform/fonts.h"

#include <QFont>

void installFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("굴림"), QStringLiteral("NanumGothic"));
    QFont::insertSubstitution(QStringLiteral("굴림체"), QStringLiteral("NanumGothicCoding"));
}
