#include "sim/model/foreground.h"

#include "sim/model/desktop.h"

namespace quorvel::sim {

bool Foreground::MaySet(int pid) const {
    if (!desk_.activation.foregroundLocked) return true;  // Wine's: no rule at all
    const Window* active = desk_.Find(desk_.Active());
    const int foreground = active == nullptr ? 0 : active->pid;
    // "The foreground process has not disabled calls to SetForegroundWindow":
    // a lock holds only while the process that set it is in front.
    if (lockedBy_ != 0 && lockedBy_ == foreground) return false;
    if (menuOf_ != 0 || desk_.MenuOpen()) return false;
    const std::uint64_t timeOutUs =
        static_cast<std::uint64_t>(desk_.activation.lockTimeoutMs) * 1000;
    auto parent = parents_.find(pid);
    const bool startedByForeground =
        foreground != 0 && parent != parents_.end() && parent->second == foreground;
    const bool granted = granted_ == ASFW_ANY || granted_ == static_cast<std::uint32_t>(pid);
    return desk_.NowUs() - lastInputUs_ >= timeOutUs || pid == foreground || startedByForeground ||
           foreground == 0 || lastInput_ == pid || granted;
}

bool Foreground::SetForegroundWindow(int pid, Hwnd hwnd) {
    if (desk_.Find(hwnd) == nullptr) return false;
    if (desk_.Active() == hwnd) return true;
    if (!MaySet(pid)) {
        if (desk_.HasTaskbarButton(hwnd)) {
            flashing_.insert(hwnd);
            desk_.seen.flashes.push_back(hwnd);
        }
        return false;
    }
    desk_.Activate(hwnd);
    return true;
}

bool Foreground::AllowSetForegroundWindow(int pid, std::uint32_t process) {
    // "The function will fail if the calling process cannot set the
    // foreground window."
    if (!MaySet(pid)) return false;
    // One right at a time: whoever held it loses it "the next time a process
    // calls AllowSetForegroundWindow, unless that process is specified".
    granted_ = process;
    return true;
}

bool Foreground::LockSetForegroundWindow(int pid, std::uint32_t code) {
    const Window* active = desk_.Find(desk_.Active());
    if (active == nullptr || active->pid != pid || (code != LSFW_LOCK && code != LSFW_UNLOCK))
        return false;
    lockedBy_ = code == LSFW_LOCK ? pid : 0;
    return true;
}

bool Foreground::FlashWindowEx(Hwnd hwnd, std::uint32_t flags) {
    const bool wasActive = desk_.Active() == hwnd;
    if (desk_.Find(hwnd) == nullptr) return wasActive;
    if (flags == FLASHW_STOP) {
        // "Stop flashing. The system restores the window to its original state."
        if (flashing_.erase(hwnd) != 0) desk_.seen.flashesStopped.push_back(hwnd);
    } else {
        flashing_.insert(hwnd);
        desk_.seen.flashes.push_back(hwnd);
    }
    return wasActive;
}

void Foreground::UserInput(int pid) {
    lastInput_ = pid;
    lastInputUs_ = desk_.NowUs();
    // The right handed on is lost "the next time the user generates input,
    // unless the input is directed at that process".
    if (granted_ != static_cast<std::uint32_t>(pid)) granted_ = 0;
}

void Foreground::ClickWindow(Hwnd hwnd) {
    const Window* w = desk_.Find(hwnd);
    if (w == nullptr) return;
    UserInput(w->pid);
    CloseMenu();  // a click elsewhere closes an open menu
    SystemUnlocks();
    desk_.Drive([&] {
        desk_.Activate(hwnd);
        desk_.RunPending();
    });
}

void Foreground::OpenMenu(Hwnd hwnd) {
    const Window* w = desk_.Find(hwnd);
    if (w == nullptr) return;
    UserInput(w->pid);
    menuOf_ = hwnd;
}

bool Foreground::Flashing(Hwnd hwnd) const {
    return flashing_.count(hwnd) != 0;
}

void Foreground::Activated(Hwnd hwnd) {
    flashing_.erase(hwnd);
}

}  // namespace quorvel::sim
