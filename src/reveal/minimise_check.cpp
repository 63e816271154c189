#include "reveal/minimise_check.h"

#include <algorithm>

namespace quorvel {

namespace {

// "<what> <n> ms", for the trace, without a string library's formatting.
void TraceWithMs(platform::Runtime& runtime, std::string_view what, std::uint32_t ms) {
    char line[96];
    std::size_t length = std::min(what.size(), sizeof line - 16);
    std::copy_n(what.begin(), length, line);
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + ms % 10);
        ms /= 10;
    } while (ms != 0);
    line[length++] = ' ';
    while (count > 0) line[length++] = digits[--count];
    for (char c : {' ', 'm', 's'}) line[length++] = c;
    runtime.TraceNote(std::string_view(line, length));
}

}  // namespace

void MinimiseAllCheck::Request(platform::Runtime& runtime, std::string_view keys) {
    if (keysIgnored_) {
        runtime.TraceNote("reveal: the shell ignored its keys before; the other way at once");
        runtime.MinimiseAllOtherWay();
        return;
    }
    // What the shell is to minimise is read before the keys: it may start at once.
    Watch watch{runtime.MinimisableWindows(), runtime.Now()};
    runtime.SendKeys(keys);
    if (watch.shown.empty()) {
        // Nothing the shell would minimise: nothing tells whether it acted.
        runtime.TraceNote("reveal: keys sent; no window to minimise");
        return;
    }
    runtime.TraceNote("reveal: keys sent; watching what they minimise");
    watches_.push_back(std::move(watch));
    if (timer_ == 0) timer_ = runtime.SetTimeout(kPollMs, [this, &runtime] { Poll(runtime); });
}

void MinimiseAllCheck::Poll(platform::Runtime& runtime) {
    timer_ = 0;
    const std::uint32_t now = runtime.Now();
    bool askOtherWay = false;
    std::erase_if(watches_, [&](const Watch& watch) {
        // A window minimised, or hidden (some go to the notification area
        // when minimised), or closed: the shell has acted.
        if (std::any_of(watch.shown.begin(), watch.shown.end(),
                        [&](platform::Hwnd h) { return !runtime.StillShown(h); })) {
            TraceWithMs(runtime, "reveal: the shell acted on its keys within", now - watch.since);
            return true;
        }
        if (now - watch.since < kWaitMs) return false;
        TraceWithMs(runtime, "reveal: the shell ignored its keys; nothing minimised in",
                    now - watch.since);
        askOtherWay = true;
        return true;
    });
    if (askOtherWay) {
        // Once, for every request that waited: the other way minimises all.
        keysIgnored_ = true;
        runtime.MinimiseAllOtherWay();
    }
    if (!watches_.empty())
        timer_ = runtime.SetTimeout(kPollMs, [this, &runtime] { Poll(runtime); });
}

void MinimiseAllCheck::Finish(platform::Runtime& runtime) {
    if (!watches_.empty()) runtime.PumpUntil([this] { return watches_.empty(); });
}

}  // namespace quorvel
