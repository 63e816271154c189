#include "reveal/minimise_check.h"

#include <algorithm>

#include "reveal/bounds.h"
#include "reveal/trace_line.h"

namespace quorvel {

namespace {

// The way after `way`: the order in which they are tried.
MinimiseAllWay NextWay(MinimiseAllWay way) {
    return static_cast<MinimiseAllWay>(static_cast<int>(way) + 1);
}

// Whatever another program may have set, one of the program's own ways.
MinimiseAllWay WayOf(std::uint32_t value) {
    switch (value) {
        case static_cast<std::uint32_t>(MinimiseAllWay::ShellObject):
            return MinimiseAllWay::ShellObject;
        case static_cast<std::uint32_t>(MinimiseAllWay::WindowsKeyM):
            return MinimiseAllWay::WindowsKeyM;
        default:
            return MinimiseAllWay::Keys;
    }
}

// Windows key + M is the hot key of the shell's own taskbar. Pressed while
// the user's window is in front, it reaches that window where no such
// taskbar takes it (another program may make a window of any class, so only
// the shell's process counts).
bool ShellTaskbarTakesHotKey(platform::Runtime& runtime) {
    const std::uint32_t shell = runtime.shell().ProcessOf(runtime.WindowTitled(kShellTitle));
    return shell != 0 && runtime.shell().WindowOfClass("Shell_TrayWnd", shell) != 0;
}

}  // namespace

MinimiseAllWay MinimiseAllCheck::WayToAsk(platform::Runtime& runtime) {
    if (!learntRead_ && secondStart_) {
        // Second starts at once (a hot key pressed twice) take turns, from
        // before their keys until their request is answered: the later one's
        // activation of the shell's window would move the keyboard under the
        // earlier one's keys, and its watch would take the earlier one's
        // answer for its own; so neither would learn. In turn, the later one
        // reads what the earlier one has told.
        platform::DesktopShell& shell = runtime.shell();
        if (!shell.WaitUntil([&] { return shell.TakeTurn(); }, kOtherStartsTurnUs))
            runtime.TraceNote("reveal: another start kept its turn; going on");
        learnt_ = WayOf(shell.RunningInstanceValue());
    }
    learntRead_ = true;
    return learnt_;
}

void MinimiseAllCheck::LearnAndShare(platform::Runtime& runtime, Way way) {
    if (way == WayToAsk(runtime)) return;
    learnt_ = way;
    const auto value = static_cast<std::uint32_t>(way);
    if (secondStart_) {
        runtime.shell().TellRunningInstance(value, kTellWithinMs);
    } else {
        runtime.shell().KeepValueForLaterStarts(value);
    }
}

void MinimiseAllCheck::ToldBySecondStart(platform::Runtime& runtime, std::uint32_t value) {
    learnt_ = WayOf(value);
    learntRead_ = true;
    runtime.shell().KeepValueForLaterStarts(static_cast<std::uint32_t>(learnt_));
}

void MinimiseAllCheck::KeysSent(platform::Runtime& runtime, std::vector<platform::Hwnd> shown,
                                bool altM, bool fair) {
    const KeysTry keys = fair ? KeysTry::Fair : KeysTry::Unfair;
    if (!altM) {
        // Another program had the keyboard: this request is served the next
        // way at once, watched where there is something to watch.
        AskWatched(runtime, NextWay(Way::Keys), std::move(shown), keys);
        return;
    }
    if (shown.empty()) {
        // Nothing the shell would minimise: nothing tells whether it acted.
        runtime.TraceNote("reveal: keys sent; no window to minimise");
        return;
    }
    runtime.TraceNote("reveal: keys sent; watching what they minimise");
    StartWatching(runtime, {std::move(shown), runtime.Now(), Way::Keys, keys});
}

void MinimiseAllCheck::ShellNotInFront(platform::Runtime& runtime, platform::ActivateOutcome why,
                                       std::vector<platform::Hwnd> shown) {
    using platform::ActivateOutcome;
    runtime.TraceNote(
        why == ActivateOutcome::Refused
            ? "reveal: Windows refused the shell's window the foreground; the other ways"
        : why == ActivateOutcome::NotInFront
            ? "reveal: the shell's window never came forward; the other ways"
            : "reveal: the shell's window lost the foreground; the other ways");
    AskWatched(runtime, NextWay(Way::Keys), std::move(shown), KeysTry::None);
}

void MinimiseAllCheck::AskLearntWay(platform::Runtime& runtime, Way way,
                                    std::vector<platform::Hwnd> shown) {
    runtime.TraceNote("reveal: the way seen to work, at once");
    AskWatched(runtime, way, std::move(shown), KeysTry::Fair);
}

void MinimiseAllCheck::AskWatched(platform::Runtime& runtime, Way way,
                                  std::vector<platform::Hwnd> shown, KeysTry keys) {
    if (way == Way::ShellObject) {
        // COM is entered here, at the first need of the object in the
        // process's life, and kept; the object is kept until a call fails
        // or the taskbar is recreated (the run time's AskShellObject).
        if (runtime.shell().AskShellObject()) {
            runtime.TraceNote("minimise-all: the shell's automation object");
        } else {
            runtime.TraceNote("minimise-all: the shell's automation object failed");
            way = Way::WindowsKeyM;
        }
    }
    if (way == Way::WindowsKeyM && keys == KeysTry::None && !ShellTaskbarTakesHotKey(runtime)) {
        runtime.TraceNote("reveal: not served; no taskbar of the shell's takes Windows key + M");
        return;
    }
    if (way == Way::WindowsKeyM) {
        runtime.TraceNote("minimise-all: Windows key + M");
        runtime.shell().SendWindowsKeyM();
    }
    if (shown.empty()) {
        // Nothing the shell would minimise: nothing tells whether it acted.
        runtime.TraceNote("reveal: asked; no window to minimise");
        return;
    }
    StartWatching(runtime, {std::move(shown), runtime.Now(), way, keys});
}

void MinimiseAllCheck::StartWatching(platform::Runtime& runtime, Watch watch) {
    watches_.push_back(std::move(watch));
    if (timer_ == 0) timer_ = runtime.SetTimeout(kWatchPollMs, [this, &runtime] { Poll(runtime); });
}

void MinimiseAllCheck::RequestServed(platform::Runtime& runtime, Way way, KeysTry keys) {
    if (keys == KeysTry::None) {
        // No key went: nothing is known of them, and no unfair try is counted.
        runtime.TraceNote("reveal: served without the shell's window in front; nothing learnt");
        return;
    }
    const bool fair = keys == KeysTry::Fair;
    // A request whose keys had no fair try teaches nothing by itself: a
    // shell busy for a moment is no shell that ignores its keys. Two in a
    // row teach the way that served the second: a taskbar that never takes
    // Tab must not cost every request the wait.
    if (fair || way == Way::Keys || lastUnfair_) {
        LearnAndShare(runtime, way);
    } else {
        runtime.TraceNote("reveal: served after an unfair try of the keys; nothing learnt");
    }
    lastUnfair_ = !fair && way != Way::Keys;
}

void MinimiseAllCheck::Poll(platform::Runtime& runtime) {
    timer_ = 0;
    const std::uint32_t now = runtime.Now();
    // Of the requests whose way went unanswered in this look, the one asked
    // furthest along: the next way is asked once for them all.
    std::vector<platform::Hwnd> unserved;
    Way unservedWay = Way::Keys;
    KeysTry unservedKeys = KeysTry::Fair;
    std::erase_if(watches_, [&](Watch& watch) {
        const bool keys = watch.way == Way::Keys;
        // A window still there that went minimised, or hidden (some go to
        // the notification area when minimised): the shell has acted. A
        // window destroyed meanwhile tells nothing, and is watched no more.
        bool acted = false;
        std::erase_if(watch.shown, [&](platform::Hwnd h) {
            const platform::WindowStanding standing = runtime.shell().Standing(h);
            acted = acted || standing == platform::WindowStanding::MinimisedOrHidden;
            return standing == platform::WindowStanding::Destroyed;
        });
        if (acted) {
            TraceWith(runtime,
                      keys ? "reveal: the shell acted on its keys within"
                           : "reveal: the shell acted on the other way within",
                      now - watch.since, "ms");
            RequestServed(runtime, watch.way, watch.keys);
            return true;
        }
        if (watch.shown.empty()) {
            runtime.TraceNote("reveal: every window watched was destroyed; nothing tells");
            return true;
        }
        if (now - watch.since < kShellActsWithinMs) return false;
        TraceWith(runtime,
                  keys ? "reveal: the shell ignored its keys; nothing minimised in"
                       : "reveal: the shell ignored the other way; nothing minimised in",
                  now - watch.since, "ms");
        if (unserved.empty() || watch.way > unservedWay) {
            unservedWay = watch.way;
            unserved = std::move(watch.shown);
            unservedKeys = watch.keys;
        }
        return true;
    });
    if (!unserved.empty() && unservedWay == Way::WindowsKeyM) {
        // No way served the request: the next one asks the shell's keys again.
        runtime.TraceNote("reveal: not served; nothing minimised by any way");
        if (unservedKeys != KeysTry::None) {
            LearnAndShare(runtime, Way::Keys);
            lastUnfair_ = false;
        }
    } else if (!unserved.empty()) {
        AskWatched(runtime, NextWay(unservedWay), std::move(unserved), unservedKeys);
    }
    if (!watches_.empty() && timer_ == 0)
        timer_ = runtime.SetTimeout(kWatchPollMs, [this, &runtime] { Poll(runtime); });
}

void MinimiseAllCheck::WaitUntilAnswered(platform::Runtime& runtime) {
    if (!watches_.empty()) runtime.PumpUntil([this] { return watches_.empty(); });
    // What this start learnt is the running instance's now: the next start's turn.
    if (secondStart_) runtime.shell().EndTurn();
}

}  // namespace quorvel
