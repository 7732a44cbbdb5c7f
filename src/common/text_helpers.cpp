#include "common/text_helpers.h"

#include "platform/app_error.h"
#include "platform/cp949.h"

#include <QDate>
#include <QList>

#include <algorithm>
#include <cmath>

namespace {

int g_qtyDecimals = 1;

// One character of a text as the byte-width functions see it: where it starts in the text (code units),
// how many code units it spans (a surrogate pair is one character) and its width in code page 949 bytes.
struct ByteChar {
    qsizetype pos;
    qsizetype units;
    int width;
};

// Walks the text and its code page 949 form side by side: ASCII is one byte, a character the code page
// holds is two (its first byte is 0x81 or above), a character it lacks was turned into one "?".
QList<ByteChar> byteChars(const QString& text) {
    QList<ByteChar> chars;
    chars.reserve(text.size());
    const QByteArray bytes = cp949::encode(text);
    qsizetype b = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const int width = (b < bytes.size() && static_cast<unsigned char>(bytes.at(b)) >= 0x80) ? 2 : 1;
        chars.append({i, units, width});
        b += width;
        i += units;
    }
    return chars;
}

QString charsToText(const QString& text, const QList<ByteChar>& chars, qsizetype first, qsizetype last) {
    if (first > last) return QString();
    const qsizetype from = chars.at(first).pos;
    return text.mid(from, chars.at(last).pos + chars.at(last).units - from);
}

// Puts "," between groups of three digits.
QString grouped(const QString& digits) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += QLatin1Char(',');
        out += digits.at(i);
    }
    return out;
}

}  // namespace

int QtyDecimals() {
    return g_qtyDecimals;
}
void SetQtyDecimals(int decimals) {
    g_qtyDecimals = decimals;
}

int LenByte(const QString& text) {
    return int(cp949::encode(text).size());
}

QString LeftByte(const QString& text, int n, bool noPad) {
    const QList<ByteChar> chars = byteChars(text);
    int total = 0;
    qsizetype count = 0;
    while (count < chars.size() && total + chars.at(count).width <= n) total += chars.at(count++).width;
    QString result = charsToText(text, chars, 0, count - 1);
    // The n-th byte was the first half of a double-byte character: keep the width with a space.
    const bool cutInside = count < chars.size() && total < n && chars.at(count).width == 2;
    if (cutInside && !noPad) result += QLatin1Char(' ');
    return result;
}

QString RightByte(const QString& text, int n) {
    const QList<ByteChar> chars = byteChars(text);
    int total = 0;
    qsizetype first = chars.size();
    while (first > 0 && total + chars.at(first - 1).width <= n) total += chars.at(--first).width;
    return charsToText(text, chars, first, chars.size() - 1);
}

QString MidByte(const QString& text, int start, int n) {
    if (start < 1) start = 1;
    const QList<ByteChar> chars = byteChars(text);
    int offset = 0;  // bytes before the character at `first`
    qsizetype first = 0;
    while (first < chars.size() && offset + chars.at(first).width < start) offset += chars.at(first++).width;
    if (first >= chars.size()) return QString();
    qsizetype last = chars.size() - 1;
    if (n > 0) {
        int taken = 0;
        last = first - 1;
        while (last + 1 < chars.size() && taken + chars.at(last + 1).width <= n)
            taken += chars.at(++last).width;
    }
    return charsToText(text, chars, first, last);
}

int SplitByte(const QString& text, int n, QStringList& lines) {
    lines.clear();
    QString rest = text;
    while (!rest.isEmpty()) {
        QString line = LeftByte(rest, n, true);
        // A width too narrow for the next character would never advance: take that character alone.
        if (line.isEmpty()) line = rest.left(rest.at(0).isHighSurrogate() && rest.size() > 1 ? 2 : 1);
        lines.append(line);
        rest.remove(0, line.size());
    }
    if (lines.isEmpty()) lines.append(QString());
    return int(lines.size());
}

QString GetDecFormat(int decimals, bool thousands, bool zero) {
    const QString digit = (zero || decimals > 0) ? QStringLiteral("0") : QStringLiteral("#");
    QString pattern = thousands ? QStringLiteral("#,##") + digit : digit;
    if (decimals > 0) pattern += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return pattern;
}

QString FormatByPattern(double number, const QString& pattern) {
    const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPart = dot < 0 ? QString() : pattern.mid(dot + 1);
    const int required = int(fracPart.count(QLatin1Char('0')));
    const int decimals = required + int(fracPart.count(QLatin1Char('#')));
    const int minInt = int(intPart.count(QLatin1Char('0')));
    const bool group = intPart.contains(QLatin1Char(','));

    QString digits = QString::number(std::fabs(number), 'f', decimals);
    QString whole = digits;
    QString frac;
    if (decimals > 0) {
        whole = digits.left(digits.indexOf(QLatin1Char('.')));
        frac = digits.mid(digits.indexOf(QLatin1Char('.')) + 1);
        while (frac.size() > required && frac.endsWith(QLatin1Char('0'))) frac.chop(1);
    }
    while (whole.startsWith(QLatin1Char('0'))) whole.remove(0, 1);
    if (whole.size() < minInt) whole = QString(minInt - whole.size(), QLatin1Char('0')) + whole;
    if (group) whole = grouped(whole);

    QString result = whole;
    if (!frac.isEmpty() || required > 0) result += QLatin1Char('.') + frac;
    const bool isZero = digits.count(QLatin1Char('0')) + digits.count(QLatin1Char('.')) == digits.size();
    if (number < 0 && !isZero) result.prepend(QLatin1Char('-'));
    return result;
}

QString FormatAmount(double number, int decimals, bool thousands, bool zero) {
    if (!zero && number == 0) return QString();
    const int places = number == std::floor(number) ? 0 : decimals;
    return FormatByPattern(number, GetDecFormat(places, thousands, zero));
}

QString AddDaysText(int days, const QString& dateText) {
    QDate base = QDate::currentDate();
    if (!dateText.isEmpty()) {
        const QString t = dateText.trimmed();
        base = QDate::fromString(t, QStringLiteral("yyyy-M-d"));
        if (!base.isValid()) base = QDate::fromString(t, QStringLiteral("yyyy/M/d"));
        if (!base.isValid()) base = QDate::fromString(t, QStringLiteral("yyyy.M.d"));
        if (!base.isValid()) base = QDate::fromString(t, QStringLiteral("yyyyMMdd"));
        if (!base.isValid())
            throw AppError(13, QStringLiteral("AddDaysText"), QStringLiteral("Type mismatch"));
    }
    return base.addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
}

QString BranchName(int branch) {
    switch (branch) {
        case 0:
            return QStringLiteral("선발");
        case 1:
            return QStringLiteral("리드");
        case 2:
            return QStringLiteral("추가");
        case 3:
            return QStringLiteral("재고");
        default:
            return QString();
    }
}

double LeadingNumber(const QString& text) {
    const auto isDigit = [&](qsizetype i) {
        return i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9');
    };
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
    bool digits = false;
    for (; isDigit(i); ++i) digits = true;
    if (i < text.size() && text[i] == QLatin1Char('.'))
        for (++i; isDigit(i); ++i) digits = true;
    if (!digits) return 0;
    return text.mid(start, i - start).toDouble();
}
