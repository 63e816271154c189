// The simulated desktop's shell: its kinds, its taskbar buttons, the keys
// its windows take and the minimise-all they ask for.
#include <utility>

#include "platform/constants.h"
#include "sim/model/desktop.h"

namespace quorvel::sim {

using namespace platform;

const char* ShellKindName(ShellKind kind) {
    switch (kind) {
        case ShellKind::Windows:
            return "WindowsOwn";
        case ShellKind::Harsh:
            return "Harsh";
        case ShellKind::HarshSync:
            return "HarshSync";
        case ShellKind::WindowsLayout:
            return "WindowsLayout";
        case ShellKind::WindowsLayoutWithoutAltM:
            return "WindowsLayoutWithoutAltM";
    }
    return "?";
}

bool Desktop::WindowsShell() const {
    return shell.kind == ShellKind::Windows || TwoThreads();
}

bool Desktop::TwoThreads() const {
    return shell.kind == ShellKind::WindowsLayout ||
           shell.kind == ShellKind::WindowsLayoutWithoutAltM;
}

bool Desktop::StillShown(Hwnd hwnd) const {
    const Window* w = Find(hwnd);
    return w != nullptr && w->visible && !w->minimised;
}

bool Desktop::HasTaskbarButton(Hwnd hwnd) const {
    const Window* w = Find(hwnd);
    return w != nullptr && w->visible && w->taskbarButton && w->owner == 0 && !w->title.empty();
}

std::vector<Hwnd> Desktop::TaskbarButtons() const {
    std::vector<Hwnd> buttons;
    for (const auto& [hwnd, w] : windows_) {
        if (HasTaskbarButton(hwnd)) buttons.push_back(hwnd);
    }
    return buttons;
}

void Desktop::MinimiseAll() {
    // Every visible, enabled top-level window that is not the shell's own
    // (desktop, taskbar) and not a dialog box; Windows' own shell only those
    // with a minimise button. Collected first: the windows hear of it and
    // may change the set.
    std::vector<Hwnd> targets;
    for (const auto& [hwnd, w] : windows_) {
        if (w.pid != kShellPid && w.visible && w.enabled && !w.minimised &&
            w.className != "#32770" && (!WindowsShell() || w.minimiseBox)) {
            targets.push_back(hwnd);
        }
    }
    ++seen.minimiseAlls;
    for (Hwnd hwnd : targets) {
        if (shell.kind == ShellKind::HarshSync) {
            Minimise(hwnd);
        } else {
            Post([this, hwnd] { Minimise(hwnd); });
        }
    }
    if (auto late = std::exchange(afterMinimiseAll_, nullptr)) late();
}

bool Desktop::RunShellStep() {
    if (RunOneActivation()) return true;
    return !shell.busy && ProcessNextKey();
}

bool Desktop::RunOneActivation() {
    if (shellActivationWaits_ && !shell.desktopHung) {
        shellActivationWaits_ = false;
        Activate(shell_);
        return true;
    }
    if (activations_.empty()) return false;
    auto f = std::move(activations_.front());
    activations_.pop_front();
    f();
    return true;
}

void Desktop::ShellKey(const Key& key, bool alt, bool others) {
    seen.keysHandledByShell.push_back({key.vk, key.up, clock_.NowUs()});
    if (key.system && active_ == shell_) {
        // A system key is no move to the taskbar.
        shellTaskbarFocus_ = false;
        return;
    }
    const bool altM = key.vk == 'M' && alt && !others;
    if (TwoThreads()) {
        if (active_ == shell_ && key.vk == VK_TAB && !alt && !others) {
            // The desktop hands the keyboard to the taskbar, a window of
            // another of the shell's threads. Until that thread has taken
            // its activation no window is in front (GetForegroundWindow
            // answers NULL "when a window is losing activation"), and a key
            // then reaches none.
            Send(shell_, WM_ACTIVATE, WA_INACTIVE, 0);
            active_ = 0;
            shellFocus_ = false;
            activations_.push_back([this] {
                if (active_ == 0) Activate(taskbar_);
            });
        } else if (altM && active_ == taskbar_ && shell.kind == ShellKind::WindowsLayout) {
            MinimiseAll();
        } else if (altM) {
            ++seen.ignoredAltMs;
        }
        return;
    }
    // One window takes both: Tab moves the focus from the desktop to the
    // taskbar; Alt+M there minimises every window. Ctrl+Alt+Tab, Shift+Tab
    // and the like do neither.
    if (key.vk == VK_TAB && !alt && !others) {
        shellTaskbarFocus_ = true;
    } else if (altM && shellTaskbarFocus_) {
        shellTaskbarFocus_ = false;
        MinimiseAll();
    } else {
        shellTaskbarFocus_ = false;
    }
}

}  // namespace quorvel::sim
