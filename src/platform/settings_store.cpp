#include "platform/settings_store.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString fileFor(const QString& application) {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QLatin1Char('/') + application + QStringLiteral(".ini");
}

// Section and key names may be Korean ("서버정보", "DB명"): QSettings keeps them as UTF-8 in the file.
QString path(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

}  // namespace

namespace settings {

QString get(const QString& application, const QString& section, const QString& key,
            const QString& defaultValue) {
    QSettings s(fileFor(application), QSettings::IniFormat);
    return s.value(path(section, key), defaultValue).toString();
}

void save(const QString& application, const QString& section, const QString& key, const QString& value) {
    QSettings s(fileFor(application), QSettings::IniFormat);
    s.setValue(path(section, key), value);
    s.sync();
}

void remove(const QString& application, const QString& section, const QString& key) {
    QSettings s(fileFor(application), QSettings::IniFormat);
    s.remove(path(section, key));
    s.sync();
}

}  // namespace settings
