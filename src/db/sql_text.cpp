#include "db/sql_text.h"

#include "db/mysql_func.h"

#include <cmath>

QString SqlNumber(double number) {
    // Below 9e15 every whole double is exact in a long long; written that way it has no ".0" or exponent.
    if (std::fabs(number) < 9.0e15 && number == std::trunc(number))
        return QString::number(static_cast<long long>(number));
    QString text = QString::number(number, 'f', 10);
    if (!text.contains(QLatin1Char('.'))) return text;  // "nan", "inf": the server refuses them as it should
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    if (text == QStringLiteral("-0")) text = QStringLiteral("0");
    return text;
}

QString SqlQuoted(const QString& text) {
    return QLatin1Char('\'') + SQLEscape(text) + QLatin1Char('\'');
}
