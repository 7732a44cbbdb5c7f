#pragma once

// The env files that the test servers' scripts write (scripts/dbserver, scripts/cupsserver): one KEY=value
// a line.

#include <QFile>
#include <QHash>
#include <QString>

// The file's values by key; empty when it cannot be read.
inline QHash<QString, QString> readEnvFile(const QString& path) {
    QHash<QString, QString> env;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return env;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            env.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)).trimmed());
    }
    return env;
}
