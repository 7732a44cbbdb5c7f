#include "common/date_input.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

bool allDigits(const QString& s) {
    if (s.isEmpty()) return false;
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// A year as typed: four digits as they stand, two digits in this century.
int yearOf(const QString& digits) {
    const int n = digits.toInt();
    return digits.size() == 2 ? 2000 + n : n;
}

// The database keeps dates from year 1000 to 9999; a typed date outside them is no date here either.
QDate dateOf(int year, int month, int day) {
    if (year < 1000 || year > 9999) return {};
    return QDate(year, month, day);
}

QDate fromDigits(const QString& d, const QDate& today) {
    switch (d.size()) {
        case 8:
            return dateOf(d.left(4).toInt(), d.mid(4, 2).toInt(), d.mid(6, 2).toInt());
        case 6:
            return dateOf(yearOf(d.left(2)), d.mid(2, 2).toInt(), d.mid(4, 2).toInt());
        case 4:
            return dateOf(today.year(), d.left(2).toInt(), d.mid(2, 2).toInt());
        default:
            return {};
    }
}

QDate fromParts(const QStringList& parts, const QDate& today) {
    for (const QString& p : parts)
        if (!allDigits(p)) return {};
    const auto dayOrMonth = [](const QString& p) { return p.size() <= 2; };
    if (parts.size() == 2 && dayOrMonth(parts[0]) && dayOrMonth(parts[1]))
        return dateOf(today.year(), parts[0].toInt(), parts[1].toInt());
    if (parts.size() == 3 && (parts[0].size() == 4 || parts[0].size() == 2) && dayOrMonth(parts[1]) &&
        dayOrMonth(parts[2]))
        return dateOf(yearOf(parts[0]), parts[1].toInt(), parts[2].toInt());
    return {};
}

}  // namespace

QDate ParseDateInput(const QString& typed, const QDate& today) {
    static const QRegularExpression separators(QStringLiteral("[-./\\s]+"));
    static const QRegularExpression outerSeparators(QStringLiteral("^[-./\\s]+|[-./\\s]+$"));
    QString text = typed;
    text.remove(outerSeparators);  // "2026. 12. 11." ends with its separator
    if (text.isEmpty()) return {};
    if (allDigits(text)) return fromDigits(text, today);
    return fromParts(text.split(separators), today);
}

QDate StoredDate(QStringView text) {
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-') return {};
    int digits[8];
    int n = 0;
    for (qsizetype i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return {};
        digits[n++] = c - u'0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5];
    const int day = digits[6] * 10 + digits[7];
    return QDate::isValid(year, month, day) ? QDate(year, month, day) : QDate();
}
