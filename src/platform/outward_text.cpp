#include "platform/outward_text.h"

namespace outward_text {

namespace {

bool isControl(QChar c) {
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

bool isBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t') ||
           c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

int utf8Length(QChar c) {
    const ushort u = c.unicode();
    if (u < 0x80) return 1;
    if (u < 0x800) return 2;
    if (c.isSurrogate()) return 2;  // each half of a pair: four octets together
    return 3;
}

}  // namespace

QString controlsAsBlanks(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (isControl(c)) c = QLatin1Char(' ');
    return out;
}

QString withoutControls(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (isBreak(c))
            out += QLatin1Char(' ');
        else if (!isControl(c))
            out += c;
    }
    return out;
}

QString cutToUtf8(const QString& text, int bytes) {
    int used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const int length = pair ? 4 : utf8Length(text[i]);
        if (used + length > bytes) break;
        used += length;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

QString elided(const QString& text, int characters) {
    if (text.size() <= characters) return text;
    qsizetype keep = characters - 1;
    if (keep > 0 && text[keep - 1].isHighSurrogate()) --keep;
    return text.left(keep) + QChar(0x2026);
}

}  // namespace outward_text
