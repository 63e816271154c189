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

// The way after `way`: the order in which they are tried.
platform::MinimiseAllWay After(platform::MinimiseAllWay way) {
    return static_cast<platform::MinimiseAllWay>(static_cast<int>(way) + 1);
}

}  // namespace

void MinimiseAllCheck::Request(platform::Runtime& runtime, std::string_view keys) {
    // What the shell is to minimise is read before it is asked: it may start
    // at once. Where Alt+M asks it, the list is read while the shell takes
    // Tab, time the keys wait for anyway.
    if (const Way learnt = runtime.LearntMinimiseAllWay(); learnt != Way::Keys) {
        runtime.TraceNote("reveal: the way seen to work, at once");
        Ask(runtime, learnt, runtime.MinimisableWindows());
        return;
    }
    std::vector<platform::Hwnd> shown;
    runtime.SendKeys(keys, [&] { shown = runtime.MinimisableWindows(); });
    if (shown.empty()) {
        // Nothing the shell would minimise: nothing tells whether it acted.
        runtime.TraceNote("reveal: keys sent; no window to minimise");
        return;
    }
    runtime.TraceNote("reveal: keys sent; watching what they minimise");
    StartWatching(runtime, {std::move(shown), runtime.Now(), Way::Keys});
}

void MinimiseAllCheck::Ask(platform::Runtime& runtime, Way way, std::vector<platform::Hwnd> shown) {
    if (way == Way::ShellObject) {
        if (runtime.AskShellObject()) {
            runtime.TraceNote("minimise-all: the shell's automation object");
        } else {
            runtime.TraceNote("minimise-all: the shell's automation object failed");
            way = Way::WindowsKeyM;
        }
    }
    if (way == Way::WindowsKeyM) {
        runtime.TraceNote("minimise-all: Windows key + M");
        runtime.SendWindowsKeyM();
    }
    if (!shown.empty()) StartWatching(runtime, {std::move(shown), runtime.Now(), way});
}

void MinimiseAllCheck::StartWatching(platform::Runtime& runtime, Watch watch) {
    watches_.push_back(std::move(watch));
    if (timer_ == 0) timer_ = runtime.SetTimeout(kPollMs, [this, &runtime] { Poll(runtime); });
}

void MinimiseAllCheck::Poll(platform::Runtime& runtime) {
    timer_ = 0;
    const std::uint32_t now = runtime.Now();
    // Of the requests whose way went unanswered in this look, the one asked
    // furthest along: the next way is asked once for them all.
    std::vector<platform::Hwnd> unserved;
    Way unservedWay = Way::Keys;
    std::erase_if(watches_, [&](Watch& watch) {
        const bool keys = watch.way == Way::Keys;
        // A window minimised, or hidden (some go to the notification area
        // when minimised), or closed: the shell has acted.
        if (std::any_of(watch.shown.begin(), watch.shown.end(),
                        [&](platform::Hwnd h) { return !runtime.StillShown(h); })) {
            TraceWithMs(runtime,
                        keys ? "reveal: the shell acted on its keys within"
                             : "reveal: the shell acted on the other way within",
                        now - watch.since);
            runtime.LearnMinimiseAllWay(watch.way);
            return true;
        }
        if (now - watch.since < kWaitMs) return false;
        TraceWithMs(runtime,
                    keys ? "reveal: the shell ignored its keys; nothing minimised in"
                         : "reveal: the shell ignored the other way; nothing minimised in",
                    now - watch.since);
        if (unserved.empty() || watch.way > unservedWay) {
            unservedWay = watch.way;
            unserved = std::move(watch.shown);
        }
        return true;
    });
    if (!unserved.empty() && unservedWay == Way::WindowsKeyM) {
        // No way served the request: the next one asks the shell's keys again.
        runtime.TraceNote("reveal: not served; nothing minimised by any way");
        runtime.LearnMinimiseAllWay(Way::Keys);
    } else if (!unserved.empty()) {
        Ask(runtime, After(unservedWay), std::move(unserved));
    }
    if (!watches_.empty() && timer_ == 0)
        timer_ = runtime.SetTimeout(kPollMs, [this, &runtime] { Poll(runtime); });
}

void MinimiseAllCheck::Finish(platform::Runtime& runtime) {
    if (!watches_.empty()) runtime.PumpUntil([this] { return watches_.empty(); });
}

}  // namespace quorvel
