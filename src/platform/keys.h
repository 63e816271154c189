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

// A key no program takes: unassigned among Windows' virtual-key codes (0x07,
// once unassigned, is now the gamepad's guide button). Pressed while a
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

// The strokes as the window in front is to receive them, whatever the user
// holds, one batch a stroke: a stroke may move the keyboard to another
// window (Tab on the shell's desktop hands it to the taskbar, on a thread of
// its own), and Windows gives a key to the thread in front when it takes it
// off the system queue, so the next batch waits for that move.
//
// Sent keys do not release what is held (SendInput does not reset the
// keyboard's state), so a program started from a hotkey (Ctrl+Alt+D, still
// down) would send Ctrl+Alt+Tab: the modifiers in `held` are let go first.
// A held Windows key or Alt is let go only after the mask key, so that its
// release is no lone one, and is not pressed again: the user's own release
// after the keys then finds it up, and Windows sees no lone Windows key (the
// Start menu) or Alt (the menu bar) because of the program, wherever the user
// lets go; a key pressed again after the user had let go would stay down.
// Shift and Ctrl are pressed again last.
std::vector<std::vector<KeyEvent>> KeyBatches(const std::vector<KeyStroke>& strokes,
                                              const std::vector<std::uint8_t>& held);

}  // namespace quorvel::platform
