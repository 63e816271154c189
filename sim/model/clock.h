// The simulated clock: the time in microseconds, the programs' timers, the
// actions a test schedules for later, and the system timer's tick that the
// timers and the waits keep to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "sim/model/knobs.h"

namespace quorvel::sim {

class Clock {
public:
    static constexpr std::uint64_t kNever = ~std::uint64_t{0};

    explicit Clock(const TimingKnobs& knobs) : knobs_(knobs) {}

    std::uint64_t NowUs() const { return now_; }
    // Forward to `us`; a time already past leaves the clock where it is.
    void AdvanceTo(std::uint64_t us);
    // Back to a time that was the clock's: what was to fill it did nothing.
    void Rewind(std::uint64_t us) { now_ = us; }

    // A user action (or any step) `delayMs` from now.
    void At(std::uint64_t delayMs, std::function<void()> f);
    int SetTimer(int pid, std::uint32_t intervalMs, std::function<void()> tick);
    void KillTimer(int timerId);
    void KillTimersOf(int pid);
    std::size_t RunningTimers() const { return timers_.size(); }
    // A timer of `pid` is past its time: the program was busy meanwhile.
    bool TimerOverdue(int pid) const;

    // timeBeginPeriod and timeEndPeriod with the finest period (1 ms), by a
    // program: while any holds it, the system's tick is that fine (before
    // Windows 10 version 2004, for every program). Each begin is matched by
    // an end ("timeBeginPeriod"): a program holds it until its last end, or
    // its own end.
    void HoldFinestResolution(int pid, bool hold);
    void ForgetProcess(int pid) { finest_.erase(pid); }
    // The system timer's tick as it runs now.
    std::uint64_t EffectiveTickUs() const;
    // When a timer set for `us` fires, or a wait on one ends: the next tick.
    std::uint64_t OnTick(std::uint64_t us) const;
    // When a wait with a timeout at `us` ends: then on a high-resolution
    // waitable timer, else on the tick after.
    std::uint64_t WaitEnds(std::uint64_t us) const;

    // The earliest timer tick or scheduled action due at or before `limit`,
    // the clock moved on to its time and a timer set for its next tick;
    // none when there is none.
    struct Due {
        bool timer;  // a program's timer, else a scheduled action
        int pid;     // the timer's program
        std::function<void()> run;
    };
    std::optional<Due> TakeDue(std::uint64_t limit);

private:
    struct Timer {
        int pid;
        std::uint32_t interval;
        std::uint64_t due;
        std::function<void()> tick;
    };
    struct Scheduled {
        std::uint64_t due;
        std::uint64_t seq;
        std::function<void()> f;
    };

    const TimingKnobs& knobs_;
    std::uint64_t now_ = 0;
    std::uint64_t seq_ = 0;
    std::map<int, Timer> timers_;
    int nextTimer_ = 1;
    std::vector<Scheduled> scheduled_;
    std::map<int, int> finest_;  // the programs holding the finest resolution, and how often
};

}  // namespace quorvel::sim
