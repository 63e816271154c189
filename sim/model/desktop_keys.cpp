// The simulated desktop's keyboard queue: the keys programs send, as the
// threads in front read them, and the keys the user holds meanwhile.
#include <string>
#include <utility>

#include "platform/constants.h"
#include "platform/keys.h"
#include "sim/model/desktop.h"

namespace quorvel::sim {

using namespace platform;

void Desktop::QueueKeys(const std::vector<platform::KeyEvent>& keys) {
    ++keyBatches_;
    for (const platform::KeyEvent& key : keys) {
        seen.keysSent.push_back({key.virtualKey, key.up, clock_.NowUs(), active_});
        keys_.push_back({key.virtualKey, key.up, !HasKeyboardFocus(active_), active_, keyBatches_});
    }
}

bool Desktop::HasKeyboardFocus(Hwnd hwnd) const {
    if (hwnd == 0 || hwnd != active_) return false;
    return hwnd != shell_ || shellFocus_;
}

bool Desktop::ProcessNextKey() {
    if (keys_.empty()) return false;
    Key key = keys_.front();
    keys_.pop_front();
    ProcessKey(key);
    // The user's action between two batches, once the first is handled.
    if (betweenKeyBatches_ && key.batch > betweenArmedAt_ &&
        (keys_.empty() || keys_.front().batch != key.batch)) {
        std::exchange(betweenKeyBatches_, nullptr)();
    }
    return true;
}

void Desktop::ProcessKey(const Key& key) {
    if (focusEventPending_ != 0 && focusEventPending_ == active_ && key.batch >= focusEventBatch_) {
        TakeFocusEvent();
    }
    keyboardState_.Apply(key.vk, !key.up, ActivePid());
    const bool modifier = (key.vk >= VK_SHIFT && key.vk <= VK_MENU) ||
                          (key.vk >= VK_LSHIFT && key.vk <= VK_RMENU) || key.vk == VK_LWIN ||
                          key.vk == VK_RWIN;
    if (key.up || modifier || key.vk == kMaskKey) return;
    const bool win = keyboardState_.AnyDown({VK_LWIN, VK_RWIN});
    if (win && key.vk == 'M') {
        ++seen.winMPresses;
        // Windows' shell's hot key: taken where the keys are read, whatever
        // window is in front. With Shift it would be Windows key + Shift + M,
        // which restores what was minimised.
        if (TwoThreads() && shell_ != 0 && !shell.hotKeyIgnored &&
            !keyboardState_.AnyDown({VK_SHIFT, VK_CONTROL, VK_MENU})) {
            MinimiseAll();
        }
        return;
    }
    if (active_ == 0 || active_ != key.to) return;
    // What the user holds modifies the sent key too.
    const bool alt = KeyDown(VK_MENU);
    const bool others = keyboardState_.AnyDown({VK_SHIFT, VK_CONTROL, VK_LWIN, VK_RWIN});
    if (active_ == shell_ || (active_ == taskbar_ && taskbar_ != 0)) {
        seen.shellKeys.push_back(keyboardState_.WithModifiers(key.vk));
        ShellKey(key, alt, others);
        if (auto late = std::exchange(afterShellKey_, nullptr)) late();
        return;
    }
    // Any other window takes it as typing, the program's own too.
    Window* w = Find(active_);
    if (key.vk == VK_TAB) {
        w->typed += '\t';
    } else if (alt) {
        w->typed += std::string("<Alt+") + static_cast<char>(key.vk) + ">";
    } else {
        w->typed += static_cast<char>(key.vk);
    }
}

void Desktop::HoldKey(std::uint8_t vk, bool down) {
    foreground.UserInput(ActivePid());
    if (down && (vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU)) foreground.SystemUnlocks();
    keyboardState_.Hold(vk, down, ActivePid());
}

void Desktop::FocusTaken(Hwnd hwnd) {
    if (keyboard.stateFollowsFocus == 0) return;
    focusEventPending_ = hwnd;
    focusEventBatch_ = keyBatches_ + keyboard.stateFollowsFocus;
}

void Desktop::TakeFocusEvent() {
    const Window* w = Find(focusEventPending_);
    focusEventPending_ = 0;
    if (w == nullptr) return;
    keyboardState_.FollowPhysical(w->pid);
}

}  // namespace quorvel::sim
