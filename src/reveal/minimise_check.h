// Whether the shell acted on a minimise-all request, and the other ways of
// asking it when it did not: a taskbar may ignore Alt+M (remapped, filtered,
// or a version that does not take it), and a replacement taskbar may ignore
// the automation object's call as well, silently.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/runtime.h"

namespace quorvel {

class MinimiseAllCheck {
public:
    using Way = platform::MinimiseAllWay;

    // Asks the shell to minimise every window, the shell's window being in
    // front: by the way learnt to work (its keys until another was seen to
    // work), watched; where nothing was minimised within the wait, by the
    // next way, watched again.
    void Request(platform::Runtime& runtime, std::string_view keys);
    // Waits until no request is being watched (a second start, before it ends).
    void Finish(platform::Runtime& runtime);
    // A recreated taskbar may be another shell's: asked its keys again.
    static void TaskbarRecreated(platform::Runtime& runtime) {
        runtime.LearnMinimiseAllWay(Way::Keys);
    }

    // The longest wait for the shell to act on one way. A shell minimises
    // asynchronously, each window as its own thread gets to it: under Wine
    // the first window was minimised within 20 to 90 ms of the keys on a
    // busy machine. Longer would keep a user whose taskbar ignores Alt+M
    // waiting on each second start; shorter would ask a slow shell twice.
    static constexpr std::uint32_t kWaitMs = 300;
    static constexpr std::uint32_t kPollMs = 20;

private:
    // The windows one request is to minimise, the way last asked and when.
    struct Watch {
        std::vector<platform::Hwnd> shown;
        std::uint32_t since;
        Way way;
    };
    // Asks by `way`, else by the ways after it, and watches what it
    // minimises; past the last way the request was served by none.
    void Ask(platform::Runtime& runtime, Way way, std::vector<platform::Hwnd> shown);
    void StartWatching(platform::Runtime& runtime, Watch watch);
    // One timer looks at every request still watched.
    void Poll(platform::Runtime& runtime);
    std::vector<Watch> watches_;
    int timer_ = 0;
};

}  // namespace quorvel
