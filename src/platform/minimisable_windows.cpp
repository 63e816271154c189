#include "platform/minimisable_windows.h"

#include "platform/constants.h"

namespace quorvel::platform {

std::vector<Hwnd> MinimisableWindows(WindowFacts& facts) {
    // The list is read while the click waits for the shell: the style first,
    // which is one look and settles most windows (hidden ones).
    std::vector<Hwnd> found;
    const std::uint32_t own = facts.OwnProcess();
    for (Hwnd window : facts.TopLevelWindows()) {
        if ((facts.Style(window) & (WS_VISIBLE | WS_MINIMIZE | WS_DISABLED | WS_MINIMIZEBOX)) !=
            (WS_VISIBLE | WS_MINIMIZEBOX)) {
            continue;
        }
        if ((facts.ExtendedStyle(window) & WS_EX_TOOLWINDOW) || facts.Owner(window) != 0 ||
            facts.ProcessOf(window) == own || facts.Cloaked(window)) {
            continue;
        }
        found.push_back(window);
    }
    return found;
}

}  // namespace quorvel::platform
