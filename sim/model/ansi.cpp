#include "sim/model/ansi.h"

#include <array>
#include <cstdint>

namespace quorvel::sim {

namespace {

// Code page 1252 at 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t FromAnsi(unsigned char c) {
    if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80] != 0 ? kHigh[c - 0x80] : U'?';
    return c;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// A character beyond Latin-1's: its byte at 0x80..0x9F, else its best fit as
// far as the simulation needs it (the characters that become separators,
// dots and letters in a path), else '?'.
char ToAnsi(char32_t cp) {
    for (std::size_t k = 0; k < kHigh.size(); ++k) {
        if (kHigh[k] == cp) return static_cast<char>(0x80 + k);
    }
    if (cp >= 0xFF01 && cp <= 0xFF5E) return static_cast<char>(cp - 0xFF01 + 0x21);
    if (cp == 0x2215) return '/';
    if (cp == 0x2216) return '\\';
    return '?';
}

}  // namespace

std::string AnsiToUtf8(const std::string& ansi) {
    std::string out;
    for (unsigned char c : ansi) AppendUtf8(out, FromAnsi(c));
    return out;
}

std::string Utf8ToAnsi(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        std::size_t len;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c >> 5) == 0x6 && i + 1 < utf8.size()) {
            cp = ((c & 0x1F) << 6) | (utf8[i + 1] & 0x3F);
            len = 2;
        } else if ((c >> 4) == 0xE && i + 2 < utf8.size()) {
            cp = ((c & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F);
            len = 3;
        } else {
            cp = U'?';
            len = 1;
        }
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        out += ToAnsi(cp);
    }
    return out;
}

}  // namespace quorvel::sim
