// The key-string syntax of SendKeys that the program uses.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvel::platform {

struct KeyStroke {
    std::uint8_t virtualKey;  // VK_TAB, 'M', ...
    bool alt;                 // held down around the key
};

// Letters and digits, "{tab}" and "{enter}", and "%" holding Alt for the next
// key. Anything else is a run-time error.
std::vector<KeyStroke> ParseKeys(std::string_view keys);

}  // namespace quorvel::platform
