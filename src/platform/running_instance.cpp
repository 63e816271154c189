#include "platform/running_instance.h"

namespace quorvel::platform {

Hwnd RunningInstanceWindow(WindowFacts& facts) {
    const std::uint32_t own = facts.OwnProcess();
    for (Hwnd window : facts.TopLevelWindows(kApplicationClass)) {
        if (facts.ProcessOf(window) != own) return window;
    }
    return 0;
}

}  // namespace quorvel::platform
