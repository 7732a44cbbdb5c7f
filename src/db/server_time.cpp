#include "db/server_time.h"

#include "db/mysql_func.h"

#include <QDateTime>

QString GetNowText(bool fromServer, int kind) {
    QDateTime now = QDateTime::currentDateTime();
    if (fromServer)
        now = QDateTime::fromString(DBGetValue(QStringLiteral("SELECT NOW()")),
                                    QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    switch (kind) {
        case 0:
            return now.toString(QStringLiteral("yyyyMMdd HHmmss"));
        case 1:
            return now.toString(QStringLiteral("yyyy-MM-dd"));
        case 2:
            return now.toString(QStringLiteral("HH:mm"));
        case 3:
            return now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        default:
            return QString();
    }
}
