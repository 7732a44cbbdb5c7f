#pragma once

#include <QString>

// The per-user settings store: text values addressed by application name, section and key. Here one INI
// file per application name under the XDG config home ($XDG_CONFIG_HOME/<application>.ini, by default
// ~/.config/<application>.ini), UTF-8, names written as they are; the launcher and the connection manager
// write the same files.
namespace settings {

QString get(const QString& application, const QString& section, const QString& key,
            const QString& defaultValue = QString());
void save(const QString& application, const QString& section, const QString& key, const QString& value);
// Deletes one key; a missing key is not an error.
void remove(const QString& application, const QString& section, const QString& key);

}  // namespace settings
