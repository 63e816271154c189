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
    // What another thread sent comes before what was posted ("GetMessage").
    if (!sent_.empty()) {
        auto f = std::move(sent_.front().second);
        sent_.pop_front();
        f();
        return true;
    }
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

bool Desktop::RunIdle(std::uint64_t limit) {
    while (!idle_.empty() && clock_.NowUs() <= limit) {
        const int pid = idle_.front().first;
        std::function<void()> f = std::move(idle_.front().second);
        idle_.pop_front();
        if (!Alive(pid)) continue;  // its process ended meanwhile
        Drive([&] {
            auto running = InProcess(pid);
            f();
        });
        return true;
    }
    return false;
}

void Desktop::Run(std::uint64_t ms) {
    const std::uint64_t target = clock_.NowUs() + ms * 1000;
    RunPending();
    // What is due by now comes before idle work; idle work before the clock
    // moves on.
    while (FireDue(clock_.NowUs()) || RunIdle(target) || FireDue(target)) RunPending();
    clock_.AdvanceTo(target);
}

void Desktop::PumpUntil(const std::function<bool()>& done) {
    for (;;) {
        RunPending();
        if (done()) return;
        // Advance the clock to the next timer tick or scheduled action.
        if (FireDue(clock_.NowUs()) || RunIdle(Clock::kNever)) continue;
        if (!FireDue(Clock::kNever)) throw SimStall("nothing scheduled could end the wait");
    }
}

void Desktop::Busy(std::uint64_t us) {
    if (us == 0) return;
    RunShellUntil(clock_.NowUs() + us, [this] { return RunShellStep(); });
}

void Desktop::SendNotify(Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam) {
    if (const Window* w = Find(hwnd)) {
        sent_.emplace_back(w->pid,
                           [this, hwnd, msg, wParam, lParam] { Send(hwnd, msg, wParam, lParam); });
    }
}

bool Desktop::TakeSent(int pid) {
    // Every message sent to the thread, also those sent while one is
    // handled (PeekMessage with PM_QS_SENDMESSAGE dispatches them all).
    bool took = false;
    for (;;) {
        auto it = std::find_if(sent_.begin(), sent_.end(),
                               [pid](const auto& sent) { return sent.first == pid; });
        if (it == sent_.end()) return took;
        auto f = std::move(it->second);
        sent_.erase(it);
        f();
        took = true;
    }
}

void Desktop::Wait(int pid, std::uint64_t untilUs) {
    auto waiting = platform::HoldAt(waitingPid_, pid);
    if (duringWait_ && waitsToGo_-- == 0) std::exchange(duringWait_, nullptr)();
    // A message sent to the thread wakes the wait at once, which takes it.
    if (TakeSent(pid)) return;
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
