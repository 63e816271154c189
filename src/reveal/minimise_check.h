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

    // The longest wait for the shell to act on its keys. A shell minimises
    // asynchronously, each window as its own thread gets to it: under Wine
    // the first window was minimised within 20 to 90 ms of the keys on a
    // busy machine. Longer would keep a user whose taskbar ignores Alt+M
    // waiting on each second start; shorter would ask a slow shell twice.
    static constexpr std::uint32_t kWaitMs = 300;
    static constexpr std::uint32_t kPollMs = 20;

private:
    // The windows one request's keys are to minimise, and when they went.
    struct Watch {
        std::vector<platform::Hwnd> shown;
        std::uint32_t since;
    };
    // One timer looks at every request still watched.
    void Poll(platform::Runtime& runtime);

    bool keysIgnored_ = false;
    std::vector<Watch> watches_;
    int timer_ = 0;
};

}  // namespace quorvel
