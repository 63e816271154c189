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

// The modifier keys a user may be holding when keys are sent: both Shifts,
// both Ctrls, both Alts, both Windows keys (their left and right codes).
inline constexpr std::uint8_t kModifierKeys[] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x5C};

// One key going down or up.
struct KeyEvent {
    std::uint8_t virtualKey;
    bool up;
    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// The strokes as the window in front is to receive them, whatever the user
// holds: sent keys do not release what is held, so a program started from a
// hotkey (Ctrl+Alt+D, still down) would send Ctrl+Alt+Tab. The modifiers in
// `held` are let go first and pressed again last, leaving the keyboard as
// the user holds it.
std::vector<KeyEvent> KeyEvents(const std::vector<KeyStroke>& strokes,
                                const std::vector<std::uint8_t>& held);

}  // namespace quorvel::platform
