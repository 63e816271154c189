// The reveal's waits for the shell (DesktopShell::WaitUntil). On Windows a wait
// with a timeout ends on the system timer's next tick, up to 15.6 ms late
// ("timeBeginPeriod"). So each of these waits looks at what it waits for at
// once and then every millisecond, woken by a waitable timer:
//
// - a high-resolution one (CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, Windows 10
//   version 1803 and later), which ends a wait at its time whatever the tick;
// - before 1803 an ordinary one, which ends on the tick: there the reveal
//   holds the system timer at its finest for its stretch (TimerResolutionHold below),
//   so the tick is a millisecond.
//
// Meanwhile only messages sent to this thread are taken (QS_SENDMESSAGE): under
// Wine a wait for every kind of message also takes the display's focus
// events of our own windows, which take the foreground back from the shell
// during the keys. The timer is held for the length of one wait only: the
// program at rest holds none, and nothing wakes it.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/handles.h"

namespace quorvel::win32 {

class ShellWait {
public:
    ShellWait();
    ShellWait(const ShellWait&) = delete;
    ShellWait& operator=(const ShellWait&) = delete;

    // Until `ready` holds or `boundUs` have passed since the wait began;
    // whether `ready` held.
    bool Until(const std::function<bool()>& ready, double boundUs);

private:
    // Microseconds since the wait began.
    double ElapsedUs() const;
    // Sleeps `us` at most; a sent message ends it early.
    void Nap(double us);

    KernelHandle timer_;
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

// The system timer's resolution at its finest while held (timeBeginPeriod
// with timeGetDevCaps' minimum), only where there are no high-resolution
// timers: held at the run time's first hold, let go at its last
// (FormRuntime::HoldFineTimer counts them). winmm comes from the system
// folder on first need, never imported: a start that never reveals never
// loads it.
class TimerResolutionHold {
public:
    void Hold(bool hold);

private:
    using Period = UINT(WINAPI*)(UINT);
    bool lookedUp_ = false;
    Period begin_ = nullptr;
    Period end_ = nullptr;
    UINT period_ = 0;
    bool held_ = false;
};

}  // namespace quorvel::win32
