#include "platform/cp949_system.h"

#include <QChar>

#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <string>

// glibc's "CP949" converter on purpose: Qt's codec of that name is IBM-949 and gets syllables such as 똠
// wrong.
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

}  // namespace

namespace cp949_system {

QByteArray encode(QStringView text) {
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

PairDecoder::PairDecoder() : m_state(new Converter("WCHAR_T", "CP949")) {}

PairDecoder::~PairDecoder() {
    delete static_cast<Converter*>(m_state);
}

char16_t PairDecoder::decode(unsigned char lead, unsigned char trail) {
    iconv_t cd = static_cast<Converter*>(m_state)->get();
    // Pair by pair, reset after each: the converter's recovery after a refused code must not shift later
    // entries.
    char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    char32_t wide[2] = {};
    char* in = pair;
    std::size_t inLeft = 2;
    char* dst = reinterpret_cast<char*>(wide);
    std::size_t outLeft = sizeof(wide);
    const bool one = iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0 &&
                     outLeft == sizeof(wide) - sizeof(char32_t);
    return one ? static_cast<char16_t>(wide[0]) : u'\uFFFD';
}

}  // namespace cp949_system
