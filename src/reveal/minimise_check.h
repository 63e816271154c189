// Whether the shell acted on the minimise-all keys, and the other way of
// asking it when it did not: a taskbar may ignore Alt+M (remapped, filtered,
// or a version that no longer takes it), and the keys then show nothing,
// silently.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/runtime.h"

namespace quorvel {

class MinimiseAllCheck {
public:
    // Asks the shell to minimise every window, the shell's window being in
    // front: by its keys, watched until it has acted on them; or, once it
    // has ignored them in this run, the other way at once.
    void Request(platform::Runtime& runtime, std::string_view keys);
    // Waits until no request is being watched (a second start, before it ends).
    void Finish(platform::Runtime& runtime);

    bool KeysIgnored() const { return keysIgnored_; }

    // The longest wait for the shell to act on its keys: shells act within
    // tens of milliseconds, and a request the user sees unanswered for half
    // a second is one they make again.
    static constexpr std::uint32_t kWaitMs = 500;
    static constexpr std::uint32_t kPollMs = 20;

private:
    struct Watch {
        std::vector<platform::Hwnd> shown;
        std::uint32_t since;
    };
    void Poll(platform::Runtime& runtime, Watch watch);

    bool keysIgnored_ = false;
    int watching_ = 0;
};

}  // namespace quorvel
