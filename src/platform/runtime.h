// The form run time's services and the entry to the Win32 functions.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms.h"
#include "platform/winapi.h"

namespace quorvel::platform {

// MsgBox styles and answers the program uses.
inline constexpr int vbOKCancel = 1;
inline constexpr int vbInformation = 64;
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;

// The ways of asking the shell's minimise-all, in the order they are tried:
// its keys (Tab, then Alt+M, to the shell's window in front), its automation
// object's MinimizeAll, its hot key Windows key + M.
enum class MinimiseAllWay : std::uint8_t { Keys, ShellObject, WindowsKeyM };

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
    // front. Returns once the window really is the active one, false when
    // there is no such window or it could not be activated in time.
    virtual bool AppActivate(std::string_view title) = 0;
    // Whether AppActivate would find a window to activate.
    virtual bool HasWindowTitled(std::string_view title) = 0;
    // Queues keystrokes for the active window without waiting: letters,
    // "{tab}", "%" holding Alt for the next key. `meanwhile` runs while the
    // first stroke is being taken, before the next one goes out (before the
    // first where there is no other).
    virtual void SendKeys(std::string_view keys, const std::function<void()>& meanwhile) = 0;
    // The shell's minimise-all without the keys. Its automation object's
    // MinimizeAll: false when there is none or the call failed; true means
    // only that the shell was asked. Its hot key, Windows key + M, with every
    // key the user holds let go.
    virtual bool AskShellObject() = 0;
    virtual void SendWindowsKeyM() = 0;
    // The way the shell's minimise-all was seen to work: Keys until another
    // was; a second start begins with the running instance's, which another
    // program may set, so it only ever chooses among the program's own ways.
    virtual MinimiseAllWay LearntMinimiseAllWay() = 0;
    // Seen to work (Keys where none did): the running instance keeps it for
    // later starts; a second start tells the running instance.
    virtual void LearnMinimiseAllWay(MinimiseAllWay way) = 0;
    // The windows a shell's minimise-all minimises: visible, enabled,
    // top-level, not owned, with a minimise button, not tool windows, not
    // cloaked, not minimised yet, not this program's.
    virtual std::vector<Hwnd> MinimisableWindows() = 0;
    // Still there, visible and not minimised.
    virtual bool StillShown(Hwnd hwnd) = 0;
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
    // Raised when WM_QUIT reaches the running instance, in whichever of its
    // loops (the main one, a modal dialog's, a wait): the program ends
    // through its own exit. A second start ends at once without it.
    std::function<void()> QuitReceived;
};

}  // namespace quorvel::platform
