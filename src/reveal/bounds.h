// Every bound of the reveal's waits, with the reason for its size, its means
// and its cost. (AppActivate's own wait for the foreground, a service of the
// run time, is Runtime::kForegroundWaitUs: 300 ms, asked up to
// Runtime::kActivateAttempts times.)
//
// The means. From the shell's activation to the last stroke every wait looks
// at what it waits for at once and then every millisecond
// (DesktopShell::WaitUntil), taking only messages sent to the program's thread:
// on Windows 10 version 1803 and later a high-resolution waitable timer
// wakes it; before that the system timer's resolution is raised to its
// finest (timeBeginPeriod with timeGetDevCaps' minimum, 1 ms on every
// Windows the program claims) for that stretch alone, once per request, and
// restored at once (DesktopReveal::MinimizeAllWindows). So each wait ends
// within about a millisecond of its change. Before Windows 10 version 2004
// that resolution is the whole system's while it is raised: the longest it
// can last is the sum of the stretch's bounds, retries included,
//   3 attempts x (300 ms foreground + 300 ms ready for keys + 20 ms catch-up)
//   + 50 ms keyboard to the taskbar + 20 ms catch-up = 1.93 s,
// and a request costs that only where the shell's thread does not answer at
// all; at rest nothing is raised. No wait relies on the shell's win events:
// no Microsoft page says that an out-of-context win event wakes a thread
// that waits for sent messages only.
//
// The watch after the keys keeps its coarse poll (a one-shot timer of the
// message loop): the shell minimises in its own time, and nothing the user
// sees waits on it.
#pragma once

#include <cstdint>

#include "platform/runtime.h"

namespace quorvel {

// The shell's thread gives one of its windows the keyboard focus when it
// handles its activation; a key sent before that goes to it as a system key
// (Tab as WM_SYSKEYDOWN), which no shell takes as the move to its taskbar.
// A thread that never takes the focus gets the keys after the wait all the
// same. As long as the wait for the foreground: a thread that slow takes no
// keys either. Cost: only where the shell's thread is that busy.
inline constexpr std::uint32_t kReadyForKeysUs = 300'000;

// Between Tab and Alt+M, where one window of the shell takes both keys (the
// shells that are no Windows layout): the keyboard never moves, so the whole
// bound is spent on every reveal; a shell that does move it (a desktop that
// hands it to a taskbar of the same thread) does so within a few
// milliseconds. Cost: 4 ms on each reveal there.
inline constexpr std::uint32_t kKeyboardMoveUs = 4'000;

// Between Tab and Alt+M in Windows' layout (a `Shell_TrayWnd` of the shell's
// process on another thread): the keyboard will leave the desktop for the
// taskbar's thread, and Alt+M sent before that reaches the desktop, which
// ignores it. A shell busy for a moment gets that long; the move ends the
// wait at once, so it costs only a shell that is slower still, whose request
// is then served by the next way (see MinimiseAllCheck: such a request
// teaches nothing by itself). Elsewhere too, once the keyboard has left the
// shell's window within kKeyboardMoveUs and reached no window yet (a
// replacement shell's taskbar of another class on a thread of its own).
inline constexpr std::uint32_t kKeyboardToTaskbarUs = 50'000;

// Wine's: a thread that has just taken the keyboard focus answers a message
// (a WM_NULL round trip) once it has handled the display's focus event, which
// sets its key state to the keys physically held; the keys held are read
// after it. Under Wine without it a learnt Windows key + M went unanswered.
// Windows has no such event; there it costs a round trip to a thread that is
// ready anyway. Bounded: a busy thread gets the keys all the same.
inline constexpr std::uint32_t kCatchUpMs = 20;

// The longest wait for the shell to act on one way of asking. A shell
// minimises asynchronously, each window as its own thread gets to it: under
// Wine the first window was minimised within 20 to 90 ms of the keys on a
// busy machine. Longer would keep a user whose taskbar ignores Alt+M waiting
// on each second start; shorter would ask a slow shell twice.
inline constexpr std::uint32_t kShellActsWithinMs = 300;
// The watch's look at the windows: a one-shot timer of the message loop.
inline constexpr std::uint32_t kWatchPollMs = 20;

// The stretch from the shell's activation to the last stroke at its longest
// (see the top): every attempt of the activation waited out, then the
// keyboard's move to the taskbar.
inline constexpr std::uint32_t kRevealStretchUs =
    platform::Runtime::kActivateAttempts *
        (platform::Runtime::kForegroundWaitUs + kReadyForKeysUs + kCatchUpMs * 1000) +
    kKeyboardToTaskbarUs + kCatchUpMs * 1000;

// How long a second start gives the running instance to take what it learnt:
// an idle instance answers at once, a busy one within its reveal's waits,
// which take sent messages; one slower than that misses this lesson only.
inline constexpr std::uint32_t kTellWithinMs = 200;

// How long a second start waits for the turn of another one before it (a
// hot key pressed twice): longer than that one's whole answer at its
// longest, the stretch, a watch of each way and its tell, with as much
// again for a busy machine; only a start that hangs is passed over.
inline constexpr std::uint32_t kOtherStartsTurnUs =
    2 * (kRevealStretchUs + (3 * (kShellActsWithinMs + kWatchPollMs) + kTellWithinMs) * 1000);

}  // namespace quorvel
