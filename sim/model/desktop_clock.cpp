// The simulated desktop's message queue and clock: what runs next, what is
// due when the clock moves on, and a program's waits, during which the
// shell's threads run beside it.
#include <algorithm>
#include <utility>

#include "sim/model/desktop.h"

namespace quorvel::sim {

bool Desktop::RunOne() {
    if (RunOneActivation()) return true;
    if (shell.readsKeysFirst && ProcessNextKey()) return true;
    if (!posted_.empty()) {
        auto f = std::move(posted_.front());
        posted_.pop_front();
        f();
        return true;
    }
    return ProcessNextKey();
}

void Desktop::RunPending() {
    while (RunOne()) {
    }
}

bool Desktop::FireDue(std::uint64_t limit) {
    auto due = clock_.TakeDue(limit);
    if (!due) return false;
    if (!due->timer) {
        Drive(due->run);
        return true;
    }
    ++seen.timerFires;
    Drive([&] {
        auto running = InProcess(due->pid);
        due->run();
    });
    return true;
}

void Desktop::Run(std::uint64_t ms) {
    const std::uint64_t target = clock_.NowUs() + ms * 1000;
    RunPending();
    while (FireDue(target)) RunPending();
    clock_.AdvanceTo(target);
}

void Desktop::PumpUntil(const std::function<bool()>& done) {
    for (;;) {
        RunPending();
        if (done()) return;
        // Advance the clock to the next timer tick or scheduled action.
        if (!FireDue(Clock::kNever)) throw SimStall("nothing scheduled could end the wait");
    }
}

void Desktop::Wait(int, std::uint64_t untilUs) {
    RunShellUntil(clock_.WaitEnds(untilUs), [this] { return RunShellStep(); });
}

void Desktop::LookAtEveryWindow(const std::function<bool()>& step) {
    // The program is busy, not waiting: no event ends it, no tick rounds it.
    RunShellUntil(clock_.NowUs() + timing.windowLookUs * windows_.size(), step);
}

void Desktop::RunShellUntil(std::uint64_t endUs, const std::function<bool()>& step) {
    // The shell's threads run beside the program's: a step longer than the
    // time given goes on in the next, and is done once its time is spent.
    while (clock_.NowUs() < endUs) {
        const std::uint64_t stepUs = timing.shellStepUs;
        const std::uint64_t need = stepUs - std::min(stepUs, shellProgressUs_);
        if (clock_.NowUs() + need > endUs) {
            shellProgressUs_ += endUs - clock_.NowUs();
            break;
        }
        const std::uint64_t was = clock_.NowUs();
        clock_.AdvanceTo(was + need);
        shellProgressUs_ = 0;
        if (!step()) {
            // Nothing to do: the time was idle.
            clock_.Rewind(was);
            break;
        }
    }
    clock_.AdvanceTo(endUs);
}

}  // namespace quorvel::sim
