// One-shot timers on the application window: each is killed before its
// handler runs, so none is left waking the program once it has fired.
#include "platform/win32/win32_runtime.h"

namespace quorvel::win32 {

int Win32Runtime::SetTimeout(std::uint32_t milliseconds, std::function<void()> f) {
    UINT_PTR id = ++lastTimeout_;
    if (SetTimer(applicationWindow(), id, milliseconds, nullptr) == 0) return static_cast<int>(id);
    timeouts_[id] = std::move(f);
    return static_cast<int>(id);
}

void Win32Runtime::ClearTimeout(int id) {
    auto it = timeouts_.find(static_cast<UINT_PTR>(id));
    if (it == timeouts_.end()) return;
    KillTimer(appWindow_, it->first);
    timeouts_.erase(it);
}

void Win32Runtime::RunTimeout(UINT_PTR id) {
    auto it = timeouts_.find(id);
    KillTimer(appWindow_, id);
    if (it == timeouts_.end()) return;
    std::function<void()> f = std::move(it->second);
    timeouts_.erase(it);
    events.Raise(f);
}

}  // namespace quorvel::win32
