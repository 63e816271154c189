// What Windows needs before and between the shell's keys: the shell's thread
// ready for them, the keyboard on the window that takes Alt+M, and never a
// key for another program. The bounds are in bounds.h.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/runtime.h"

namespace quorvel {

class ShellKeys {
public:
    explicit ShellKeys(platform::Runtime& runtime) : runtime_(runtime) {}
    ShellKeys(const ShellKeys&) = delete;
    ShellKeys& operator=(const ShellKeys&) = delete;

    // The readiness AppActivate waits for, the shell's window `target` in
    // front: its thread has given one of its windows the keyboard focus.
    // Reads the shell's layout meanwhile. Whether its thread is still in front.
    bool ReadyForKeys(platform::Hwnd target);
    // The wait between two strokes, `took` having been in front for the last:
    // the windows to watch are listed, then the keyboard waited for. Whether
    // the next stroke may go: only to a window of the shell's process.
    bool BeforeNextStroke(platform::Hwnd took);

    // The windows listed while the shell took Tab.
    std::vector<platform::Hwnd> TakeWindowsToWatch() { return std::move(shown_); }
    // Whether the keys had a fair try: not where the keyboard wait ran out
    // in Windows' layout, nor where another program took the keyboard.
    bool HadFairTry() const { return fair_; }

private:
    platform::Runtime& runtime_;
    std::uint32_t shellProcess_ = 0;
    // A `Shell_TrayWnd` of the shell's process on another thread than its
    // desktop: Windows' layout, where Tab moves the keyboard to that thread.
    bool windowsLayout_ = false;
    bool fair_ = true;
    std::vector<platform::Hwnd> shown_;
};

}  // namespace quorvel
