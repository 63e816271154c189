#include "platform/basic_text.h"

#include <cmath>
#include <limits>

namespace quorvel::platform {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

double Val(std::string_view text) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i])) ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    double whole = 0;
    double fractionScale = 0;  // 0 while before the decimal point
    for (;; ++i) {
        skipBlanks();
        if (i >= text.size()) break;
        char c = text[i];
        if (IsDigit(c)) {
            if (fractionScale == 0) {
                whole = whole * 10 + (c - '0');
            } else {
                fractionScale /= 10;
                whole += (c - '0') * fractionScale;
            }
        } else if (c == '.' && fractionScale == 0) {
            fractionScale = 1;
        } else {
            break;
        }
    }
    return negative ? -whole : whole;
}

std::string Str(long long number) {
    std::string digits = std::to_string(number);
    return number < 0 ? digits : " " + digits;
}

std::string Trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool RoundToInt16(double number, std::int16_t& result) {
    if (!std::isfinite(number)) return false;
    double rounded = std::nearbyint(number);  // the default rounding mode: halves to even
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max()) {
        return false;
    }
    result = static_cast<std::int16_t>(rounded);
    return true;
}

}  // namespace quorvel::platform
