// The form run time's services and the entry to the Win32 functions; the
// desktop's narrow facts and acts are desktop_shell.h's.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop_shell.h"
#include "platform/form.h"
#include "platform/winapi.h"

namespace quorvel::platform {

// MsgBox styles and answers the program uses.
inline constexpr int vbOKCancel = 1;
inline constexpr int vbInformation = 64;
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;

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

    // How long AppActivate waits for the window's thread to come to the
    // front once Windows granted the request, and how often it asks. A
    // shell's thread that takes longer is too busy to take keys either; a
    // refusal is known at once, and costs nothing. Polled every millisecond
    // (see DesktopShell::WaitUntil).
    static constexpr std::uint32_t kForegroundWaitUs = 300'000;
    static constexpr int kActivateAttempts = 3;
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

    // The desktop's facts and acts the reveal and the icon need.
    virtual DesktopShell& shell() = 0;

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
