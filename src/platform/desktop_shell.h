// The desktop's facts and acts the program's features need (the reveal, and
// the start-up form's rest), beside the form run time's services (runtime.h): the window in front and its
// thread's keyboard, the windows a minimise-all would take and whether they
// still show, the shell's other ways, what the running instance shares with
// later starts, and the waits around them. Each a question to the window
// system, or one act; the rules that use them are the reveal's.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace quorvel::platform {

// What the watch after a minimise-all sees of a window it listed: still
// shown; minimised or hidden (either is the shell's doing, or the window's
// own answer to it: some programs hide themselves when minimised); gone
// (destroyed, or its handle names another window than the one listed: no
// evidence of anything).
enum class WindowStanding : std::uint8_t { Shown, MinimisedOrHidden, Destroyed };

// How often DesktopShell::WaitUntil looks at its condition: a change is seen this
// late at most.
inline constexpr std::uint32_t kWaitLookUs = 1000;

class DesktopShell {
public:
    virtual ~DesktopShell() = default;

    // The window in front (GetForegroundWindow), 0 while none is (the
    // foreground passing between two threads).
    virtual Hwnd Foreground() const = 0;
    // The window to which the keyboard focus of `window`'s thread is given,
    // 0 for none (GetGUIThreadInfo: the thread has not yet taken it).
    virtual Hwnd FocusOfThread(Hwnd window) = 0;
    // A top-level window of the class `className` made by the process
    // `process`, 0 for none (another program may make one of any class).
    virtual Hwnd WindowOfClass(std::string_view className, std::uint32_t process) = 0;
    // The ids of the thread and of the process that made the window; 0 for none.
    virtual std::uint32_t ThreadOf(Hwnd window) = 0;
    virtual std::uint32_t ProcessOf(Hwnd window) = 0;
    // Whether two windows are of one thread: a shell's desktop may pass its
    // activation to a window of its thread beside it that holds its icons (a
    // WorkerW). No window, or one gone, is of none.
    bool SameThread(Hwnd a, Hwnd b) {
        return a != 0 && b != 0 && (a == b || (ThreadOf(a) != 0 && ThreadOf(a) == ThreadOf(b)));
    }
    // Lets the thread that has just taken the keyboard answer a message, so
    // that what it was sent before has been handled (bounded by `boundMs`).
    virtual void LetThreadCatchUp(Hwnd window, std::uint32_t boundMs) = 0;
    // The windows a shell's minimise-all minimises: visible, enabled,
    // top-level, not owned, with a minimise button, not tool windows, not
    // cloaked, not minimised yet, not this program's.
    virtual std::vector<Hwnd> MinimisableWindows() = 0;
    virtual WindowStanding Standing(Hwnd hwnd) = 0;
    // The shell's automation object's MinimizeAll (COM entered on its first
    // call and kept; the object made on first need and kept until a call
    // fails or the taskbar is recreated): false when there is none or the
    // call failed; true means only that the shell was asked.
    virtual bool AskShellObject() = 0;
    // Windows key + M, the shell's hot key, with every key the user holds let go.
    virtual void SendWindowsKeyM() = 0;
    // The value the running instance shares with later starts (0 when none
    // runs or it shares none); this instance's, kept for later starts (0 for
    // none); a second start's, told to the running instance, which is given
    // `withinMs` to take it (a message it has not taken by then is dropped).
    virtual std::uint32_t RunningInstanceValue() = 0;
    virtual void KeepValueForLaterStarts(std::uint32_t value) = 0;
    virtual void TellRunningInstance(std::uint32_t value, std::uint32_t withinMs) = 0;
    // The one turn the starts of this session share (a named mutex): whether
    // this process holds it now, taken where no other holds it, or one that
    // ended without giving it back did; also where no such object can be
    // made (nothing then to take turns with). Given back by EndTurn, or when
    // the process ends. Never waits: the waits are the caller's.
    virtual bool TakeTurn() = 0;
    virtual void EndTurn() = 0;
    // Until `condition` holds or `boundUs` microseconds have passed; whether
    // it held. Looks at it at once, then every millisecond; meanwhile only
    // messages sent to this thread are taken (no input, no posted message:
    // under Wine a wait for those takes the display's focus events of our
    // own windows, which would take the foreground back from the shell).
    virtual bool WaitUntil(const std::function<bool()>& condition, std::uint32_t boundUs) = 0;
    // Keeps the system timer's resolution at its finest while held, where the
    // waits need it to end within a millisecond (Windows before 10 version
    // 1803, which has no high-resolution waitable timer); nothing elsewhere.
    virtual void HoldFineTimer(bool hold) = 0;
    // A microsecond clock, for the waits' bounds.
    virtual std::uint64_t NowUs() const = 0;
};

}  // namespace quorvel::platform
