#include "platform/cp949.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

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
            const char16_t unit = *reinterpret_cast<const char16_t*>(in);
            const std::size_t skip = QChar::isHighSurrogate(unit) && inLeft >= 4 ? 4 : 2;
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

QString decode(const char* bytes, std::size_t length) {
    if (isAscii(bytes, length)) return QString::fromLatin1(bytes, static_cast<qsizetype>(length));
    thread_local Converter conv("UTF-16LE", "CP949");
    iconv_t cd = conv.get();
    QString out(static_cast<qsizetype>(length), Qt::Uninitialized);  // never more units than bytes
    char* in = const_cast<char*>(bytes);
    std::size_t inLeft = length;
    char* dst = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = length * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1)) break;
        // An invalid or cut-off sequence: one replacement character for its first byte.
        *reinterpret_cast<char16_t*>(dst) = u'\uFFFD';
        dst += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    out.truncate(static_cast<qsizetype>((dst - reinterpret_cast<char*>(out.data())) / 2));
    return out;
}

}  // namespace cp949
