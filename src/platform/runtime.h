// The form run time's services and the entry to the Win32 functions.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/form.h"
#include "platform/winapi.h"

namespace quorvel::platform {

// MsgBox styles and answers the program uses.
inline constexpr int vbOKCancel = 1;
inline constexpr int vbInformation = 64;
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;

// What the watch after a minimise-all sees of a window it listed: still
// shown; minimised or hidden (either is the shell's doing, or the window's
// own answer to it: some programs hide themselves when minimised); gone
// (destroyed, or its handle names another window than the one listed: no
// evidence of anything).
enum class WindowStanding : std::uint8_t { Shown, MinimisedOrHidden, Destroyed };

// How often Runtime::WaitUntil looks at its condition: a change is seen this
// late at most.
inline constexpr std::uint32_t kWaitLookUs = 1000;

// What AppActivate came to: the window in front, or why not, for the caller
// to choose what to do instead.
enum class ActivateOutcome : std::uint8_t {
    Ready,       // the window's thread in front, and ready where the caller asked
    NoWindow,    // no window of that title
    Refused,     // Windows would not let this program set the foreground
    NotInFront,  // granted, yet the window's thread was not in front within the wait
    NotReady,    // in front, but taken away again before it was ready, each time
};

class Runtime {
public:
    virtual ~Runtime() = default;

    virtual WinApi& api() = 0;

    // Builds the form's windows from its description. The caller raises Load
    // once it holds the form, so that Load can refer to it.
    virtual std::unique_ptr<Form> CreateForm(const FormDescription& description,
                                             FormEvents events) = 0;
    // Raises the form's Load as every event is raised.
    virtual void Load(Form& form) = 0;
    // The standard treatment of the start-up form once its Load has run:
    // shown unless Load hid it, and activated.
    virtual void ActivateStartupForm(Form& form) = 0;

    // Activates the top-level window whose title equals `title` ignoring
    // letter case; for the program's own application window, its dialog in
    // front. Returns once the window's thread really is in front (Ready), or
    // with the reason it is not. With `readyForKeys`, the caller's own wait
    // once it is in front: asked with the window activated, it answers
    // whether keys may now be sent; where it answers false, the activation
    // is tried again (a bounded number of times).
    virtual ActivateOutcome AppActivate(
        std::string_view title, const std::function<bool(Hwnd target)>& readyForKeys = {}) = 0;
    // The window AppActivate would activate, 0 for none.
    virtual Hwnd WindowTitled(std::string_view title) = 0;
    bool HasWindowTitled(std::string_view title) { return WindowTitled(title) != 0; }
    // Sends keystrokes to the window in front without waiting for them to be
    // read: letters, "{tab}", "%" holding Alt for the next key; each stroke
    // with the keys the user holds let go. Between two strokes it calls
    // `beforeNextStroke` with the window that was in front when the last one
    // went out: the caller's pacing, which answers whether the next may go.
    // Whether every stroke went out.
    virtual bool SendKeys(std::string_view keys,
                          const std::function<bool(Hwnd took)>& beforeNextStroke = {}) = 0;

    // --- Narrow questions and acts on the desktop (for the reveal) ---
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
    // none); a second start's, told to the running instance.
    virtual std::uint32_t RunningInstanceValue() = 0;
    virtual void KeepValueForLaterStarts(std::uint32_t value) = 0;
    virtual void TellRunningInstance(std::uint32_t value) = 0;
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

    virtual void DoEvents() = 0;
    // A millisecond clock.
    virtual std::uint32_t Now() const = 0;
    // Takes events until `done` holds.
    virtual void PumpUntil(const std::function<bool()>& done) = 0;
    // One line of the program's trace.
    virtual void TraceNote(std::string_view line) = 0;
    virtual int MsgBox(std::string_view prompt, int style, std::string_view title) = 0;
    // Deletes the file `name` directly in `folder`; a run-time error when it
    // cannot, or when `name` is not the plain name of a file in that folder
    // (a path, a stream, or a name the ANSI code page only approximates).
    virtual void Kill(const std::string& folder, const std::string& name) = 0;
    // True when another instance of the program was running when this one started.
    virtual bool PrevInstance() = 0;
    // Runs `f` once, as an event, `milliseconds` from now; returns the
    // timer's id (never 0). The timer is gone once it has run or been
    // cleared, so nothing wakes the program while none is set.
    virtual int SetTimeout(std::uint32_t milliseconds, std::function<void()> f) = 0;
    // Stops a timer that has not run yet; an id that has run, or 0, is ignored.
    virtual void ClearTimeout(int id) = 0;
    // Runs `f` once, as an event, when the main loop (or a modal form's)
    // next finds nothing to take: no message sent, posted or typed, no timer
    // due. Pieces of work so queued run in turn, one a time the loop is idle,
    // so that whatever comes meanwhile is served between two of them.
    virtual void WhenIdle(std::function<void()> f) = 0;
    // Ends the process at once; no further events.
    [[noreturn]] void End() {
        EndProcess();
        std::abort();  // a backend's EndProcess never returns
    }

protected:
    virtual void EndProcess() = 0;

public:
    // Raised when the shell's taskbar has been recreated ("TaskbarCreated").
    std::function<void()> TaskbarCreated;
    // Raised when a second start told this instance a value for later starts.
    std::function<void(std::uint32_t value)> SecondStartTold;
    // Raised when WM_QUIT reaches the running instance, in whichever of its
    // loops (the main one, a modal dialog's, a wait): the program ends
    // through its own exit. A second start ends at once without it.
    std::function<void()> QuitReceived;
};

}  // namespace quorvel::platform
