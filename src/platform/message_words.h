// The words of a message's WPARAM and LPARAM, as the pages of the messages
// name them: the low-order and the high-order word, unsigned, or signed
// where a page says the value is a signed coordinate (GET_X_LPARAM and
// GET_Y_LPARAM: a point on a second monitor left of or above the primary
// one is negative).
#pragma once

#include <cstdint>

namespace quorvel::platform {

constexpr std::uint16_t LowWord(std::uintptr_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}
constexpr std::uint16_t HighWord(std::uintptr_t value) {
    return static_cast<std::uint16_t>((value >> 16) & 0xFFFF);
}
constexpr std::int16_t SignedLowWord(std::uintptr_t value) {
    return static_cast<std::int16_t>(LowWord(value));
}
constexpr std::int16_t SignedHighWord(std::uintptr_t value) {
    return static_cast<std::int16_t>(HighWord(value));
}
// MAKELPARAM / MAKEWPARAM: `low` in the low-order word, `high` in the high.
constexpr std::uint32_t MakeLong(std::int32_t low, std::int32_t high) {
    return (static_cast<std::uint32_t>(low) & 0xFFFF) | (static_cast<std::uint32_t>(high) & 0xFFFF)
                                                            << 16;
}

}  // namespace quorvel::platform
