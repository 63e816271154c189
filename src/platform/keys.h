// The key-string syntax of SendKeys that the program uses.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvel::platform {

struct KeyStroke {
    std::uint8_t virtualKey;  // VK_TAB, 'M', ...
    bool alt;                 // held down around the key
    bool win = false;         // the left Windows key held down around the key
};

// Letters and digits, "{tab}" and "{enter}", and "%" holding Alt for the next
// key. Anything else is a run-time error.
std::vector<KeyStroke> ParseKeys(std::string_view keys);

// The modifier keys a user may be holding when keys are sent: both Shifts,
// both Ctrls, both Alts, both Windows keys (their left and right codes).
// Defined with their names in keys.cpp: this header is read beside <windows.h>.
extern const std::array<std::uint8_t, 8> kModifierKeys;

// A key no program takes: unassigned among Windows' virtual-key codes (not
// 0x07: that is the gamepad's guide button). Pressed while a
// Windows key or an Alt is down, it makes that key's release no lone one.
inline constexpr std::uint8_t kMaskKey = 0xE8;

// Windows opens the Start menu when a Windows key goes up with no other key
// pressed since it went down, and a lone Alt enters the menu bar of the
// window in front.
bool OpensMenuWhenAlone(std::uint8_t virtualKey);

// One key going down or up.
struct KeyEvent {
    std::uint8_t virtualKey;
    bool up;
    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// One stroke as the window in front is to receive it, whatever the user
// holds at that moment (`held`, read right before it). Each stroke goes out
// as a batch of its own, the held keys read again before each: a stroke may
// move the keyboard to another window (Tab on the shell's desktop hands it
// to the taskbar, on a thread of its own), and a key may come back down
// meanwhile (the user presses it; under Wine, a thread whose window takes
// the focus gets the keys physically held).
//
// Sent keys do not release what is held (SendInput "does not reset the
// keyboard's current state"), so a program started from a hotkey
// (Ctrl+Alt+D, still down) would send Ctrl+Alt+Tab: the modifiers in `held`
// are let go first. A held Windows key or Alt is let go only after the mask
// key, so that its release is no lone one (the Start menu, the menu bar).
// No key is pressed again afterwards: a user who lets go during the keys
// would find it pressed again by the program, and Windows would hold it down
// until pressed once more (Ctrl+W then closes a tab). A key the program let
// go stays up until the user presses it again.
std::vector<KeyEvent> KeyBatch(const KeyStroke& stroke, const std::vector<std::uint8_t>& held);

}  // namespace quorvel::platform
