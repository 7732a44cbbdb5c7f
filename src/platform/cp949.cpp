#include "platform/cp949.h"

#include "platform/cp949_system.h"

#include <vector>

namespace {

bool isAscii(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
    return true;
}

bool isAscii(QStringView s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

// Double-byte codes: lead byte 0x81-0xFE, trail byte 0x41-0xFE.
constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xFE, kTrailFirst = 0x41, kTrailLast = 0xFE;
constexpr unsigned kTrailCount = kTrailLast - kTrailFirst + 1;

// The Unicode character of every double-byte code, taken from the system's converter once, on first use:
// large results decode millions of short values, and a table lookup per character costs a fraction of
// a converter call per value. Codes the converter refuses map to U+FFFD.
class DoubleByteTable {
public:
    DoubleByteTable() : m_units((kLeadLast - kLeadFirst + 1) * kTrailCount, u'\uFFFD') {
        cp949_system::PairDecoder decoder;
        for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead)
            for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail)
                m_units[(lead - kLeadFirst) * kTrailCount + (trail - kTrailFirst)] =
                    decoder.decode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
    }
    char16_t at(unsigned lead, unsigned trail) const {
        return m_units[(lead - kLeadFirst) * kTrailCount + (trail - kTrailFirst)];
    }

private:
    std::vector<char16_t> m_units;
};

const DoubleByteTable& doubleByteTable() {
    static const DoubleByteTable table;
    return table;
}

}  // namespace

namespace cp949 {

QByteArray encode(QStringView text) {
    if (isAscii(text)) return text.toLatin1();
    return cp949_system::encode(text);
}

std::size_t decodeInto(const char* bytes, std::size_t length, char16_t* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    if (isAscii(bytes, length)) {
        for (std::size_t i = 0; i < length; ++i) out[i] = p[i];
        return length;
    }
    const DoubleByteTable& table = doubleByteTable();
    std::size_t units = 0;
    for (std::size_t i = 0; i < length;) {
        const unsigned b = p[i];
        if (b < 0x80) {
            out[units++] = static_cast<char16_t>(b);
            ++i;
            continue;
        }
        // A lead byte and its trail byte make one character when the code page defines the pair.
        // Otherwise (0x80, 0xFF, a lead byte at the end or before a byte that cannot follow it, an
        // unassigned pair) the lead byte alone becomes the replacement character and the byte after it
        // is read again on its own: in C7 41 the 41 is an "A" that must not be lost.
        const char16_t pair = b >= kLeadFirst && b <= kLeadLast && i + 1 < length &&
                                      p[i + 1] >= kTrailFirst && p[i + 1] <= kTrailLast
                                  ? table.at(b, p[i + 1])
                                  : u'\uFFFD';
        out[units++] = pair;
        i += pair == u'\uFFFD' ? 1 : 2;
    }
    return units;
}

QString decode(const char* bytes, std::size_t length) {
    if (isAscii(bytes, length)) return QString::fromLatin1(bytes, static_cast<qsizetype>(length));
    QString out(static_cast<qsizetype>(length), Qt::Uninitialized);
    out.truncate(static_cast<qsizetype>(decodeInto(bytes, length, reinterpret_cast<char16_t*>(out.data()))));
    return out;
}

}  // namespace cp949
