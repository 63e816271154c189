#include "sim/model/keyboard_state.h"

#include <algorithm>

#include "platform/constants.h"
#include "platform/keys.h"

namespace quorvel::sim {

using namespace platform;

namespace {

// VK_LSHIFT..VK_RMENU pair up as VK_LSHIFT + 2 * (common - VK_SHIFT) + side:
// a sided key moves its common code with it.
void SetKey(std::set<std::uint8_t>& state, std::uint8_t vk, bool down) {
    if (down) {
        state.insert(vk);
    } else {
        state.erase(vk);
    }
    if (vk < VK_LSHIFT || vk > VK_RMENU) return;
    const std::uint8_t common = static_cast<std::uint8_t>(VK_SHIFT + (vk - VK_LSHIFT) / 2);
    const std::uint8_t left = static_cast<std::uint8_t>(VK_LSHIFT + 2 * (common - VK_SHIFT));
    if (state.count(left) || state.count(left + 1)) {
        state.insert(common);
    } else {
        state.erase(common);
    }
}

}  // namespace

void KeyboardState::Hold(std::uint8_t vk, bool down, int activePid) {
    SetKey(physical_, vk, down);
    Apply(vk, down, activePid);
}

void KeyboardState::Apply(std::uint8_t vk, bool down, int activePid) {
    NoteForMenus(vk, down);
    SetKey(down_, vk, down);
    if (activePid != 0) SetKey(threadDown_[activePid], vk, down);
}

void KeyboardState::FollowPhysical(int pid) {
    down_ = physical_;
    threadDown_[pid] = physical_;
}

void KeyboardState::NoteForMenus(std::uint8_t vk, bool down) {
    // Left and right Alt, and Alt by its common code, are one Alt here.
    if (vk == VK_LMENU || vk == VK_RMENU) vk = VK_MENU;
    const bool menuKey = OpensMenuWhenAlone(vk);
    if (down) {
        // Another key pressed: no key held so far goes up alone. The same
        // key again (its repeat) changes nothing.
        const bool wasLone = lone_.count(vk) != 0;
        lone_.clear();
        if (menuKey && (wasLone || !Down(vk))) lone_.insert(vk);
        return;
    }
    if (lone_.erase(vk) == 0) return;
    if (vk == VK_MENU) {
        ++seen_.menuBars;
    } else {
        ++seen_.startMenus;
    }
}

bool KeyboardState::AnyDown(std::initializer_list<std::uint8_t> vks) const {
    return std::any_of(vks.begin(), vks.end(), [this](std::uint8_t vk) { return Down(vk); });
}

bool KeyboardState::ThreadDown(int pid, std::uint8_t vk) const {
    auto it = threadDown_.find(pid);
    return it != threadDown_.end() && it->second.count(vk) != 0;
}

std::string KeyboardState::WithModifiers(std::uint8_t vk) const {
    std::string name;
    if (AnyDown({VK_LWIN, VK_RWIN})) name += "Win+";
    if (Down(VK_CONTROL)) name += "Ctrl+";
    if (Down(VK_SHIFT)) name += "Shift+";
    if (Down(VK_MENU)) name += "Alt+";
    return name + (vk == VK_TAB ? std::string("Tab") : std::string(1, static_cast<char>(vk)));
}

}  // namespace quorvel::sim
