#include "platform/cp949_system.h"

#include <QChar>

#include <windows.h>

// Windows converts code page 949 itself (the "ANSI" code page of Korean Windows).
namespace {

constexpr UINT kCodePage = 949;

// Windows maps the code page's user-defined area to the Private Use Area (U+E000...); glibc, whose results
// the order database's texts have always had, leaves that area undefined. Both sides keep to glibc's.
bool isPrivateUse(char16_t unit) {
    return unit >= 0xE000 && unit <= 0xF8FF;
}

// A run of characters of the Basic Multilingual Plane without surrogates. WC_NO_BEST_FIT_CHARS: a
// character outside the code page becomes "?", never a look-alike (é must not print as e).
void appendRun(QByteArray& out, const char16_t* run, int length) {
    if (length == 0) return;
    const auto* wide = reinterpret_cast<const wchar_t*>(run);
    const int size =
        WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, "?", nullptr);
    if (size <= 0) {
        out.append(length, '?');
        return;
    }
    const qsizetype at = out.size();
    out.resize(at + size);
    WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, length, out.data() + at, size, "?", nullptr);
}

}  // namespace

namespace cp949_system {

QByteArray encode(QStringView text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (!QChar::isSurrogate(units[i]) && !isPrivateUse(units[i])) continue;
        appendRun(out, units + runStart, static_cast<int>(i - runStart));
        // A surrogate pair is one character; an unpaired surrogate is one on its own. The code page has
        // neither, nor (as glibc reads it) a private-use character.
        if (QChar::isHighSurrogate(units[i]) && i + 1 < n && QChar::isLowSurrogate(units[i + 1])) ++i;
        out.append('?');
        runStart = i + 1;
    }
    appendRun(out, units + runStart, static_cast<int>(n - runStart));
    return out;
}

PairDecoder::PairDecoder() = default;
PairDecoder::~PairDecoder() = default;

char16_t PairDecoder::decode(unsigned char lead, unsigned char trail) {
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    wchar_t wide[2] = {};
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, pair, 2, wide, 2);
    return n == 1 && !isPrivateUse(char16_t(wide[0])) ? static_cast<char16_t>(wide[0]) : u'\uFFFD';
}

}  // namespace cp949_system
