// The reveal's waits for the shell. On Windows a wait with a timeout ends on
// the system timer's next tick, up to 15.6 ms late ("timeBeginPeriod": from
// Windows 10 version 2004 on, another program's request does not shorten it,
// and Windows 11 may ignore that of a process whose windows are hidden or
// minimised, as this program's are). So each of these waits ends when what it
// waits for has happened, or at its bound, to the microsecond:
//
// - the shell's process tells it of a window coming to the front and of a
//   window taking the keyboard focus (SetWinEventHook, EVENT_SYSTEM_FOREGROUND
//   and EVENT_OBJECT_FOCUS, out of context: delivered through this thread's
//   message queue, as sent messages are; the wait takes those alone, for
//   under Wine a wait for every kind of message also
//   takes the display's focus events of our own windows, which take the
//   foreground back from the shell during the keys);
// - a high-resolution waitable timer (CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
//   Windows 10 version 1803 and later) ends it at its bound, and wakes it
//   every millisecond to look again: a window of another program taking the
//   foreground is no event of the shell's. Where Windows has no such timer
//   (before 1803: there a program's timeBeginPeriod still sets the system's
//   tick), an ordinary one, which ends on the tick.
//
// Hooks and timer are held for the length of one wait only: the program at
// rest has neither, and nothing wakes it.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/handles.h"

namespace quorvel::win32 {

class ShellWait {
public:
    // Hooked on the process of `watched` (null: on nothing but the timer).
    explicit ShellWait(HWND watched);
    ~ShellWait();
    ShellWait(const ShellWait&) = delete;
    ShellWait& operator=(const ShellWait&) = delete;

    // Until `ready` holds or `boundMs` have passed since the wait began;
    // whether `ready` held.
    bool Until(const std::function<bool()>& ready, double boundMs);
    // Milliseconds since the wait began.
    double Elapsed() const;

private:
    // Sleeps `ms` at most; a message, or an event of the hooks, ends it early.
    void Nap(double ms);

    HWINEVENTHOOK foreground_ = nullptr;
    HWINEVENTHOOK focus_ = nullptr;
    KernelHandle timer_;
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

}  // namespace quorvel::win32
