// The simulated desktop's windows: their making and ending, the z-order,
// what they are sent, and the activation as Windows hands it on.
#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/constants.h"
#include "platform/message_words.h"
#include "sim/model/desktop.h"

namespace quorvel::sim {

using namespace platform;

Hwnd Desktop::CreateWindow(int pid, Window window) {
    const Hwnd hwnd = nextHwnd_;
    nextHwnd_ += 2;
    window.hwnd = hwnd;
    window.pid = pid;
    window.pixelsPerInch = DensityAt(window.x, window.y, window.width, window.height);
    const bool topLevel = !window.messageOnly;
    windows_[hwnd] = std::move(window);
    if (topLevel) zOrder_.insert(zOrder_.begin(), hwnd);
    return hwnd;
}

void Desktop::DestroyWindow(Hwnd hwnd) {
    if (Find(hwnd) == nullptr) return;
    if (active_ == hwnd) {
        Hide(hwnd);
        if (active_ == hwnd) active_ = 0;
    }
    windows_.erase(hwnd);
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), hwnd), zOrder_.end());
}

Window* Desktop::Find(Hwnd hwnd) {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : &it->second;
}

const Window* Desktop::Find(Hwnd hwnd) const {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : &it->second;
}

Hwnd Desktop::FindByTitle(std::string_view title) const {
    Hwnd any = 0;
    for (Hwnd hwnd : zOrder_) {
        const Window* w = Find(hwnd);
        if (Lower(w->title) != Lower(std::string(title))) continue;
        if (w->visible) return hwnd;
        if (any == 0) any = hwnd;
    }
    return any;
}

std::intptr_t Desktop::Send(Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam,
                            std::uint32_t lParam) {
    Window* w = Find(hwnd);
    if (w == nullptr || !w->proc || !Alive(w->pid)) return 0;
    auto proc = w->proc;  // the window may go while its procedure runs
    auto guard = InProcess(w->pid);
    return proc(msg, wParam, lParam);
}

void Desktop::Post(Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam) {
    posted_.push_back([this, hwnd, msg, wParam, lParam] { Send(hwnd, msg, wParam, lParam); });
}

void Desktop::Activate(Hwnd hwnd) {
    if (hwnd == active_ || Find(hwnd) == nullptr) return;
    Hwnd old = active_;
    if (hwnd == shell_ && shell.desktopHung) {
        if (old != 0) Send(old, WM_ACTIVATE, MakeLong(WA_INACTIVE, 0), hwnd);
        active_ = 0;
        shellActivationWaits_ = true;
        return;
    }
    active_ = hwnd;
    // A hung desktop's activation still waiting loses the foreground too:
    // the foreground switches at the call, and a thread that is no longer
    // in the foreground when it wakes activates within itself only.
    shellActivationWaits_ = false;
    seen.activations.push_back(hwnd);
    foreground.Activated(hwnd);
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), hwnd), zOrder_.end());
    zOrder_.insert(zOrder_.begin(), hwnd);
    if (old == shell_) shellFocus_ = false;
    if (hwnd == shell_) {
        // The foreground is the shell's at once; the keyboard focus only once
        // the shell's thread has handled the activation.
        shellFocus_ = false;
        if (lateFocus_ != 0) {
            activations_.push_back([this, late = lateFocus_] {
                if (const Window* w = Find(late); w != nullptr && w->visible) Activate(late);
            });
            lateFocus_ = 0;
        }
        activations_.push_back([this] {
            if (active_ != shell_) return;
            shellFocus_ = true;
            shellTaskbarFocus_ = false;  // the focus starts on the desktop
            FocusTaken(shell_);
        });
    } else {
        FocusTaken(hwnd);
    }
    auto minimised = [this](Hwnd h) {
        const Window* w = Find(h);
        return w != nullptr && w->minimised ? 1 : 0;
    };
    if (old != 0) Send(old, WM_ACTIVATE, MakeLong(WA_INACTIVE, minimised(old)), hwnd);
    Send(hwnd, WM_ACTIVATE, MakeLong(WA_ACTIVE, minimised(hwnd)), old);
}

void Desktop::Show(Hwnd hwnd, bool activate) {
    Window* w = Find(hwnd);
    if (w == nullptr) return;
    bool wasVisible = w->visible;
    w->visible = true;
    if (activate) Activate(hwnd);
    if (!wasVisible) Post(hwnd, WM_PAINT);
}

void Desktop::Hide(Hwnd hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr) return;
    w->visible = false;
    if (active_ == hwnd) HandOff(hwnd);
}

void Desktop::HandOff(Hwnd gone) {
    for (Hwnd candidate : zOrder_) {
        const Window* c = Find(candidate);
        if (candidate != gone && candidate != taskbar_ && c->visible && c->enabled) {
            Activate(candidate);
            return;
        }
    }
}

void Desktop::HideKeepingActivation(Hwnd hwnd) {
    if (Window* w = Find(hwnd)) w->visible = false;
}

void Desktop::Minimise(Hwnd hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr || w->minimised) return;
    w->minimised = true;
    if (w->hidesWhenMinimised) w->visible = false;
    SendSize(hwnd, SIZE_MINIMIZED);
    if (active_ == hwnd && Find(hwnd) != nullptr) HandOff(hwnd);
}

void Desktop::SendSize(Hwnd hwnd, std::uint32_t how) {
    const Window* w = Find(hwnd);
    if (w == nullptr) return;
    // wParam how it was sized; lParam the client area's width in the low
    // word and height in the high word, none while minimised.
    const std::uint32_t size = how == SIZE_MINIMIZED ? 0 : MakeLong(w->width, w->height);
    Send(hwnd, WM_SIZE, how, size);
}

void Desktop::Restore(Hwnd hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr || !w->minimised) return;
    w->minimised = false;
    SendSize(hwnd, SIZE_RESTORED);
}

void Desktop::BringToFront(Hwnd hwnd) {
    if (Find(hwnd) == nullptr) return;
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), hwnd), zOrder_.end());
    zOrder_.insert(zOrder_.begin(), hwnd);
}

bool Desktop::PlaceInZOrder(Hwnd hwnd, Hwnd insertAfter) {
    if (insertAfter == platform::HWND_NOTOPMOST) return true;
    if (insertAfter == platform::HWND_TOP) {
        BringToFront(hwnd);
        return true;
    }
    if (insertAfter != platform::HWND_BOTTOM && Find(insertAfter) == nullptr) return false;
    if (insertAfter == hwnd) return true;
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), hwnd), zOrder_.end());
    auto at = insertAfter == platform::HWND_BOTTOM
                  ? zOrder_.end()
                  : std::next(std::find(zOrder_.begin(), zOrder_.end(), insertAfter));
    zOrder_.insert(at, hwnd);
    return true;
}

bool Desktop::SameThread(Hwnd a, Hwnd b) const {
    return ThreadOf(a) != 0 && ThreadOf(a) == ThreadOf(b);
}

std::uint32_t Desktop::ThreadOf(Hwnd hwnd) const {
    const Window* w = Find(hwnd);
    if (w == nullptr) return 0;
    const int thread = hwnd == taskbar_ && !TwoThreads() ? 0 : w->thread;
    return static_cast<std::uint32_t>(w->pid * 16 + thread + 1);
}

Hwnd Desktop::FocusOfThread(Hwnd hwnd) const {
    return active_ != 0 && SameThread(active_, hwnd) && HasKeyboardFocus(active_) ? active_ : 0;
}

Hwnd Desktop::CreateAppWindow(const std::string& title) {
    Window w;
    w.title = title;
    w.className = "Edit";
    w.visible = true;
    w.minimiseBox = true;
    w.x = 100;
    w.y = 100;
    w.width = 400;
    w.height = 300;
    Hwnd hwnd = CreateWindow(NewProcess(title), w);
    Activate(hwnd);
    return hwnd;
}

std::intptr_t Desktop::DefWindowProc(Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam,
                                     std::uint32_t lParam) {
    // The four low bits of a command are Windows' own.
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) Minimise(hwnd);
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_RESTORE) Restore(hwnd);
    // The window menu's accelerator, Alt+F4 (the context code, bit 29, is
    // Alt), becomes its close command ("WM_SYSCOMMAND message": lParam's
    // high word -1 for a system accelerator), posted to the window.
    constexpr std::uint32_t kAltDown = 1u << 29;
    if (msg == WM_SYSKEYDOWN && wParam == VK_F4 && (lParam & kAltDown) != 0) {
        Post(hwnd, WM_SYSCOMMAND, SC_CLOSE, MakeLong(0, -1));
    }
    // "WM_CANCELMODE message": DefWindowProc cancels internal menu
    // processing; the pop-up menu of the window's is left without a choice.
    if (msg == WM_CANCELMODE && popup_ && popup_->owner == hwnd) popup_->closed = true;
    return 0;
}

void Desktop::EnableWindow(Hwnd hwnd, bool enabled) {
    Window* w = Find(hwnd);
    if (w == nullptr) return;
    // "EnableWindow function": a window being disabled is sent WM_CANCELMODE,
    // as a modal dialog disables the other windows of its program.
    if (!enabled && w->enabled) Send(hwnd, WM_CANCELMODE);
    if (Window* still = Find(hwnd)) still->enabled = enabled;
}

Window* Desktop::MenuOwner(std::uint32_t menu) {
    if ((menu & 0x40000000u) == 0) return nullptr;
    return Find(menu & ~0x40000000u);
}

int Desktop::ActivePid() const {
    const Window* active = Find(active_);
    return active == nullptr ? 0 : active->pid;
}

}  // namespace quorvel::sim
