#include "reveal/minimise_check.h"

#include <algorithm>
#include <string>

namespace quorvel {

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
    runtime.TraceNote("reveal: keys sent; watching " + std::to_string(watch.shown.size()) +
                      " windows");
    ++watching_;
    runtime.SetTimeout(kPollMs, [this, &runtime, watch] { Poll(runtime, watch); });
}

void MinimiseAllCheck::Poll(platform::Runtime& runtime, Watch watch) {
    const std::uint32_t waited = runtime.Now() - watch.since;
    // A window minimised, or hidden (some go to the notification area when
    // minimised), or closed: the shell has acted.
    const bool acted = std::any_of(watch.shown.begin(), watch.shown.end(),
                                   [&](platform::Hwnd h) { return !runtime.StillShown(h); });
    if (acted) {
        --watching_;
        runtime.TraceNote("reveal: the shell acted on its keys within " + std::to_string(waited) +
                          " ms");
        return;
    }
    if (waited < kWaitMs) {
        runtime.SetTimeout(kPollMs, [this, &runtime, watch] { Poll(runtime, watch); });
        return;
    }
    --watching_;
    keysIgnored_ = true;
    runtime.TraceNote("reveal: nothing minimised in " + std::to_string(waited) +
                      " ms; the shell ignored its keys");
    runtime.MinimiseAllOtherWay();
}

void MinimiseAllCheck::Finish(platform::Runtime& runtime) {
    if (watching_ > 0) runtime.PumpUntil([this] { return watching_ == 0; });
}

}  // namespace quorvel
