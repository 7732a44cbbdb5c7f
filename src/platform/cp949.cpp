#include "platform/cp949.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <vector>

namespace {

// One conversion descriptor per direction and thread, opened on first use and reset before each call.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t get() {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        return m_cd;
    }

private:
    iconv_t m_cd;
};

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

}  // namespace

namespace cp949 {

QByteArray encode(QStringView text) {
    if (isAscii(text)) return text.toLatin1();
    thread_local Converter conv("CP949", "UTF-16LE");
    iconv_t cd = conv.get();
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.utf16()));
    std::size_t inLeft = text.size() * sizeof(char16_t);
    char* dst = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno == EILSEQ) {  // a character outside the code page: one "?" for the code unit (or pair)
            // A surrogate pair is one character; an unpaired surrogate is one on its own.
            const auto* unit = reinterpret_cast<const char16_t*>(in);
            const bool pair =
                inLeft >= 4 && QChar::isHighSurrogate(unit[0]) && QChar::isLowSurrogate(unit[1]);
            const std::size_t skip = pair ? 4 : 2;
            in += skip;
            inLeft -= skip;
            *dst++ = '?';
            --outLeft;
        } else {  // EINVAL: a lone high surrogate at the end
            *dst++ = '?';
            break;
        }
    }
    out.truncate(dst - out.data());
    return out;
}

namespace {

// Double-byte codes: lead byte 0x81-0xFE, trail byte 0x41-0xFE.
constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xFE, kTrailFirst = 0x41, kTrailLast = 0xFE;
constexpr unsigned kTrailCount = kTrailLast - kTrailFirst + 1;

// The Unicode character of every double-byte code, taken from glibc's converter once, on first use:
// large results decode millions of short values, and a table lookup per character costs a fraction of
// an iconv call per value. Codes the converter refuses map to U+FFFD.
class DoubleByteTable {
public:
    DoubleByteTable() : m_units((kLeadLast - kLeadFirst + 1) * kTrailCount, u'\uFFFD') {
        Converter conv("WCHAR_T", "CP949");
        iconv_t cd = conv.get();
        // Pair by pair: the converter's recovery after a refused code must not shift later entries.
        for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead)
            for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
                char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                char32_t wide[2] = {};
                char* in = pair;
                std::size_t inLeft = 2;
                char* dst = reinterpret_cast<char*>(wide);
                std::size_t outLeft = sizeof(wide);
                if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0 &&
                    outLeft == sizeof(wide) - sizeof(char32_t))
                    m_units[(lead - kLeadFirst) * kTrailCount + (trail - kTrailFirst)] =
                        static_cast<char16_t>(wide[0]);
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
            }
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
