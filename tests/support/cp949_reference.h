#pragma once

#include <iconv.h>

#include <algorithm>
#include <string>

// The decoding that code page 949 text must get, taken from glibc's converter byte by byte: a sequence the
// converter refuses costs one replacement character for its first byte, and decoding goes on with the
// byte after it. Tests and the fuzz target compare the program's own decoder with it.
inline std::u32string referenceCp949Decode(const std::string& bytes) {
    std::u32string out;
    iconv_t cd = iconv_open("UTF-32LE", "CP949");
    std::size_t i = 0;
    while (i < bytes.size()) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char32_t unit = 0;
        // One character at a time: at most two input bytes, exactly one output character. With more input
        // in reach, glibc steps over a refused pair that follows a converted character, and the pair's
        // second byte would never be read on its own.
        char* in = const_cast<char*>(bytes.data() + i);
        std::size_t inLeft = std::min<std::size_t>(2, bytes.size() - i);
        char* dst = reinterpret_cast<char*>(&unit);
        std::size_t outLeft = sizeof(unit);
        const std::size_t before = inLeft;
        iconv(cd, &in, &inLeft, &dst, &outLeft);
        if (outLeft == 0) {
            out += unit;
            i += before - inLeft;
        } else {
            out += U'\uFFFD';
            ++i;
        }
    }
    iconv_close(cd);
    return out;
}
