#include "platform/language.h"

#include "platform/app_paths.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installKoreanLanguage() {
    const QLocale korean(QLocale::Korean, QLocale::SouthKorea);
    QLocale::setDefault(korean);

    // Qt's translations: where this Qt keeps them (Debian: qt6-translations-l10n), or a "translations"
    // folder beside the program (a Windows installation carries its own).
    static QTranslator qtTexts;
    if (!qtTexts.isEmpty()) return true;
    const QString name = QStringLiteral("qtbase_ko");
    const bool loaded = qtTexts.load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
                        qtTexts.load(name, app_paths::programFolder() + QStringLiteral("/translations"));
    return loaded && QCoreApplication::installTranslator(&qtTexts);
}
