#include "platform/cp949.h"

#include "platform/cp949_system.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define PELORA_CP949_SSE2 1
#endif

namespace {

bool isAscii(QStringView s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

// Double-byte codes: lead byte 0x81-0xFE, trail byte 0x41-0xFE.
constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xFE, kTrailFirst = 0x41, kTrailLast = 0xFE;

// The UTF-16 unit of every two-byte sequence, indexed by lead byte * 256 + second byte, taken from the
// system's converter once, on first use: large results decode millions of short values, and one load per
// character costs a fraction of a converter call per value. Every sequence that is no character of the
// code page (a lead byte 0x80 or 0xFF, a second byte outside the trail range, an unassigned or
// user-defined pair) holds U+FFFD, so a pair needs no range tests of its own.
class PairTable {
public:
    PairTable() {
        std::fill_n(m_units, 0x10000, u'\uFFFD');
        cp949_system::PairDecoder decoder;
        for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead)
            for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail)
                m_units[(lead << 8) | trail] =
                    decoder.decode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
    }
    char16_t at(unsigned lead, unsigned second) const { return m_units[(lead << 8) | second]; }

private:
    char16_t m_units[0x10000];  // in the object itself: a lookup is one load, not two
};

const PairTable& pairTable() {
    static const PairTable table;
    return table;
}

#ifdef PELORA_CP949_SSE2
// The bytes of `block` that end an ASCII run: those above 0x7F, and with `stopAtNul` the NULs.
template <bool stopAtNul>
unsigned stopMask(__m128i block) {
    unsigned stop = unsigned(_mm_movemask_epi8(block));
    if (stopAtNul) stop |= unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_setzero_si128())));
    return stop;
}

// Widens the low `n` bytes of `block` (8 or 4) to units at `out`.
void storeUnits(char16_t* out, __m128i block, int n) {
    const __m128i units = _mm_unpacklo_epi8(block, _mm_setzero_si128());
    if (n == 8)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
    else
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), units);
}

__m128i loadBytes(const unsigned char* p, int n) {
    if (n == 8) return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return _mm_cvtsi32_si128(int(word));
}
#endif

// Decodes bytes [0, length) into `out` in one pass (with `stopAtNul`, up to the first NUL) and returns the
// units written. ASCII goes in blocks: 16 bytes at a time, and a rest of 4 to 15 bytes as two blocks of 8
// (or 4) that overlap, the last one ending on the last byte, so that short values (most of a result's)
// take one or two steps and no byte is read past `length`. A block is widened and stored before it is
// tested; a unit is never written for more than one byte, so the stores stay within `length` units. The
// double-byte characters of a word are read in one loop, a table load each.
#if defined(__GNUC__)
#define PELORA_CP949_INLINE [[gnu::always_inline]] inline
#else
#define PELORA_CP949_INLINE inline
#endif

template <bool stopAtNul>
PELORA_CP949_INLINE std::size_t decodeBytes(const unsigned char* p, std::size_t length, char16_t* out) {
    // Where a field's text ends: without its trailing blanks, counted on the bytes (which are in the
    // cache; the units were just stored as blocks, and reading one back would wait for the store). A
    // trail byte is never 0x20, so the blanks at the end of the bytes are the blanks at the end of the units.
    const auto end = [p](std::size_t bytes, std::size_t units) {
        if (stopAtNul)
            while (bytes > 0 && p[bytes - 1] == ' ') {
                --bytes;
                --units;
            }
        return units;
    };
    std::size_t i = 0;
    std::size_t units = 0;
    while (i < length) {
        const std::size_t rest = length - i;
        unsigned stop = 0;
#ifdef PELORA_CP949_SSE2
        if (rest >= 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i zero = _mm_setzero_si128();
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + units), _mm_unpacklo_epi8(block, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + units + 8), _mm_unpackhi_epi8(block, zero));
            stop = stopMask<stopAtNul>(block);
            if (stop == 0) {
                i += 16;
                units += 16;
                continue;
            }
        } else if (rest >= 4) {
            const int n = rest >= 8 ? 8 : 4;
            const unsigned all = (1u << n) - 1;
            const __m128i first = loadBytes(p + i, n);
            storeUnits(out + units, first, n);
            stop = stopMask<stopAtNul>(first) & all;
            if (stop == 0) {
                const __m128i last = loadBytes(p + length - n, n);
                if ((stopMask<stopAtNul>(last) & all) == 0) {  // the whole rest is ASCII
                    storeUnits(out + units + rest - n, last, n);
                    return end(length, units + rest);
                }
                i += std::size_t(n);
                units += std::size_t(n);
                continue;
            }
        } else
#else
        // Eight bytes at a time while none of them ends the run.
        constexpr std::uint64_t kOnes = 0x0101010101010101u;
        constexpr std::uint64_t kHighBits = 0x8080808080808080u;
        if (rest >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            if (((stopAtNul ? (word - kOnes) | word : word) & kHighBits) == 0) {
                for (int j = 0; j < 8; ++j) out[units + j] = p[i + j];
                i += 8;
                units += 8;
                continue;
            }
        }
#endif
        {
            const unsigned b = p[i];
            if (b < 0x80 && !(stopAtNul && b == 0)) {
                out[units++] = static_cast<char16_t>(b);
                ++i;
                continue;
            }
        }
        const unsigned ascii = stop != 0 ? unsigned(std::countr_zero(stop)) : 0;
        i += ascii;
        units += ascii;
        if (stopAtNul && p[i] < 0x80) return end(i, units);  // a NUL, where a C string ends
        // A lead byte and its trail byte make one character when the code page defines the pair.
        // Otherwise (0x80, 0xFF, a lead byte at the end or before a byte that cannot follow it, an
        // unassigned pair) the lead byte alone becomes the replacement character and the byte after it
        // is read again on its own: in C7 41 the 41 is an "A" that must not be lost.
        // The next position does not wait for the table: a valid pair, the usual case, takes two bytes.
        const PairTable& table = pairTable();
        do {
            const char16_t pair = i + 1 < length ? table.at(p[i], p[i + 1]) : u'\uFFFD';
            out[units++] = pair;
            if (pair == u'\uFFFD') [[unlikely]]
                ++i;
            else
                i += 2;
        } while (i < length && p[i] >= 0x80);
    }
    return end(length, units);
}

}  // namespace

namespace cp949 {

QByteArray encode(QStringView text) {
    if (isAscii(text)) return text.toLatin1();
    return cp949_system::encode(text);
}

std::size_t decodeInto(const char* bytes, std::size_t length, char16_t* out) {
    return decodeBytes<false>(reinterpret_cast<const unsigned char*>(bytes), length, out);
}

std::size_t decodeFieldInto(const char* bytes, std::size_t length, char16_t* out) {
    return decodeBytes<true>(reinterpret_cast<const unsigned char*>(bytes), length, out);
}

std::size_t decodeFieldsInto(const char* const* fields, const unsigned long* lengths, std::size_t count,
                             char16_t* out, std::uint32_t* ends, std::size_t offset) {
    std::size_t units = 0;
    for (std::size_t k = 0; k < count; ++k) {
        if (fields[k])  // a null field stays empty
            units +=
                decodeBytes<true>(reinterpret_cast<const unsigned char*>(fields[k]), lengths[k], out + units);
        ends[k] = static_cast<std::uint32_t>(offset + units);
    }
    return units;
}

QString decode(const char* bytes, std::size_t length) {
    QString out(static_cast<qsizetype>(length), Qt::Uninitialized);
    out.truncate(static_cast<qsizetype>(decodeInto(bytes, length, reinterpret_cast<char16_t*>(out.data()))));
    return out;
}

}  // namespace cp949
