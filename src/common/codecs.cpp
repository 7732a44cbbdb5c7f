#include "common/codecs.h"

#include "common/msgbox.h"
#include "platform/app_error.h"

#include <array>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kPad = 64;

// The runtime's overflow error: what both base64 codecs report for a character that does not fit a byte
// or lies outside the alphabet.
AppError overflow(const char* procedure) {
    return AppError(6, QString::fromLatin1(procedure), QStringLiteral("Overflow"));
}

std::array<qint16, 256> decodeTable() {
    std::array<qint16, 256> table;
    table.fill(-1);
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = qint16(i);
    table['='] = kPad;
    return table;
}

// Reads hexadecimal digits up to the first character that is none; no digits give 0.
int leadingHex(const QString& digits) {
    int value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        int d;
        if (u >= u'0' && u <= u'9')
            d = u - u'0';
        else if (u >= u'A' && u <= u'F')
            d = u - u'A' + 10;
        else if (u >= u'a' && u <= u'f')
            d = u - u'a' + 10;
        else
            break;
        value = value * 16 + d;
    }
    return value & 0xFFFF;
}

// The ASCII characters that a group beginning with "00" may name high byte first (letters are compared
// lower-cased). The backtick is deliberately absent.
bool isAcceptedAscii(QChar c) {
    static const QString punctuation = QStringLiteral("-_=+\\|[]{}<>,./?~!@$#%^&*():;'\" ");
    const QChar lower = c.toLower();
    return (lower >= QLatin1Char('a') && lower <= QLatin1Char('z')) ||
           (lower >= QLatin1Char('0') && lower <= QLatin1Char('9')) || punctuation.contains(lower);
}

QString decodeBase64(const QString& text) {
    const std::array<qint16, 256> table = decodeTable();
    const qsizetype length = text.size();
    // The buffer starts at its full size; padding shortens it from the end, while the write position only
    // moves on by the bytes a group really gave, so a padded group in the middle joins the next one.
    QString buffer(length / 4 * 3, QLatin1Char(' '));
    qsizetype n = 0;
    int group[4];
    int collected = 0;
    for (QChar c : text) {
        if (c.unicode() > 255 || table[c.unicode()] < 0) throw overflow("DecodeStr");
        group[collected++] = table[c.unicode()];
        if (collected < 4) continue;
        collected = 0;
        const int bytes[3] = {(group[0] << 2) | (group[1] >> 4 & 3),
                              ((group[1] & 15) << 4) | (group[2] >> 2 & 15),
                              ((group[2] & 3) << 6) | group[3]};
        for (int i = 0; i < 3; ++i) {
            if (bytes[i] > 255) throw overflow("DecodeStr");  // padding in the first place of a group
            buffer[n + i] = QChar(bytes[i]);
        }
        if (group[3] == kPad) {
            buffer.chop(1);
            n += 2;
        } else {
            n += 3;
        }
        if (group[2] == kPad) {
            buffer.chop(1);
            n -= 1;
        }
    }
    return buffer;
}

}  // namespace

QString EncodeStr(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() > 255) {
            ShowProcError(QStringLiteral("EncodeStr"), QString(), overflow("EncodeStr"));
            return QString();
        }
    }
    return QString::fromLatin1(text.toLatin1().toBase64());
}

QString DecodeStr(const QString& text) {
    try {
        return decodeBase64(text);
    } catch (const AppError& e) {
        ShowProcError(QStringLiteral("DecodeStr"), QString(), e);
        return QString();
    }
}

QString EncodeUniCode(const QString& text) {
    QString out;
    out.reserve(text.size() * 4);
    for (QChar c : text) {
        const QString hex = QString::number(c.unicode(), 16).toUpper();
        QString group;
        switch (hex.size()) {
            case 1:
                group = QStringLiteral("000") + hex;
                break;
            case 2:
                group = hex + QStringLiteral("00");
                break;
            case 3:
                group = QLatin1Char('0') + hex;
                break;
            default:
                group = hex;
                break;
        }
        // The halves of every group change places.
        out += group.mid(2, 2) + group.left(2);
    }
    return out;
}

QString DecodeUniCode(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); i += 4) {
        const QString group = text.mid(i, 4);
        if (group == QLatin1String("0D0A")) {
            out += QStringLiteral("\r\n");
            continue;
        }
        const QString lo = group.left(2);
        const QString hi = group.mid(2, 2);
        QString normalised;
        if (lo != QLatin1String("00")) {
            normalised = hi + lo;
        } else {
            normalised = group;
            if (!isAcceptedAscii(QChar(leadingHex(group)))) normalised = hi + QStringLiteral("00");
        }
        out += QChar(leadingHex(normalised));
    }
    return out;
}
