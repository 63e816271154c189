// One guard for every "undo this when the scope is left": a flag set for a
// handler's run, a depth counted, a resolution held. The undo runs on every
// path out, an exception's too, and once.
#pragma once

#include <utility>

namespace quorvel::platform {

template <typename Undo>
class [[nodiscard]] ScopeExit {
public:
    explicit ScopeExit(Undo undo) : undo_(std::move(undo)) {}
    ~ScopeExit() { undo_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Undo undo_;
};

// Does `enter` now and `leave` when the returned guard goes.
template <typename Enter, typename Leave>
[[nodiscard]] ScopeExit<Leave> Scoped(Enter enter, Leave leave) {
    enter();
    return ScopeExit<Leave>(std::move(leave));
}

// Holds `flag` at `value` for the scope, then gives it back what it had.
template <typename T>
[[nodiscard]] auto HoldAt(T& flag, T value) {
    T saved = std::exchange(flag, std::move(value));
    return ScopeExit([&flag, saved]() mutable { flag = std::move(saved); });
}

}  // namespace quorvel::platform
