#include "sim/model/clock.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace quorvel::sim {

void Clock::AdvanceTo(std::uint64_t us) {
    now_ = std::max(now_, us);
}

void Clock::At(std::uint64_t delayMs, std::function<void()> f) {
    scheduled_.push_back({now_ + delayMs * 1000, seq_++, std::move(f)});
}

int Clock::SetTimer(int pid, std::uint32_t intervalMs, std::function<void()> tick) {
    int id = nextTimer_++;
    timers_[id] = {pid, intervalMs, OnTick(now_ + intervalMs * std::uint64_t{1000}),
                   std::move(tick)};
    return id;
}

void Clock::KillTimer(int timerId) {
    timers_.erase(timerId);
}

void Clock::KillTimersOf(int pid) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        it = it->second.pid == pid ? timers_.erase(it) : std::next(it);
    }
}

void Clock::HoldFinestResolution(int pid, bool hold) {
    if (hold) {
        ++finest_[pid];
        return;
    }
    // An end without its begin is refused (TIMERR_NOCANDO).
    auto it = finest_.find(pid);
    if (it != finest_.end() && --it->second == 0) finest_.erase(it);
}

bool Clock::TimerOverdue(int pid) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const auto& entry) {
        return entry.second.pid == pid && entry.second.due <= now_;
    });
}

std::uint64_t Clock::EffectiveTickUs() const {
    constexpr std::uint64_t kFinestUs = 1000;
    return finest_.empty() ? knobs_.tickUs : std::min(knobs_.tickUs, kFinestUs);
}

std::uint64_t Clock::OnTick(std::uint64_t us) const {
    const std::uint64_t tick = EffectiveTickUs();
    return tick == 0 ? us : (us + tick - 1) / tick * tick;
}

std::uint64_t Clock::WaitEnds(std::uint64_t us) const {
    return knobs_.highResolutionTimers ? us : OnTick(us);
}

std::optional<Clock::Due> Clock::TakeDue(std::uint64_t limit) {
    auto s = std::min_element(scheduled_.begin(), scheduled_.end(),
                              [](const Scheduled& a, const Scheduled& b) {
                                  return a.due != b.due ? a.due < b.due : a.seq < b.seq;
                              });
    auto t = std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
        return a.second.due < b.second.due;
    });
    std::uint64_t sDue = s == scheduled_.end() ? kNever : s->due;
    std::uint64_t tDue = t == timers_.end() ? kNever : t->second.due;
    std::uint64_t next = std::min(sDue, tDue);
    if (next == kNever || next > limit) return std::nullopt;
    now_ = std::max(now_, next);
    if (sDue <= tDue) {
        Due due{false, 0, std::move(s->f)};
        scheduled_.erase(s);
        return due;
    }
    Timer& timer = t->second;
    timer.due = OnTick(timer.due + timer.interval * std::uint64_t{1000});
    return Due{true, timer.pid, timer.tick};
}

}  // namespace quorvel::sim
