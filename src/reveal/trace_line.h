// "<what> <n> <unit>", a line of the program's trace, without a string
// library's formatting.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/runtime.h"

namespace quorvel {

inline void TraceWith(platform::Runtime& runtime, std::string_view what, std::uint64_t n,
                      std::string_view unit) {
    char line[128];
    std::size_t length = std::min(what.size(), sizeof line - 32);
    std::copy_n(what.begin(), length, line);
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    line[length++] = ' ';
    while (count > 0) line[length++] = digits[--count];
    line[length++] = ' ';
    for (std::size_t i = 0; i < unit.size() && i < 4; ++i) line[length++] = unit[i];
    runtime.TraceNote(std::string_view(line, length));
}

}  // namespace quorvel
