// The form run time's services written once for both backends: the start-up
// activation, keystrokes, one-shot timers, and the state the forms share
// (the activation model, the modal form). A backend supplies the primitives.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "platform/activation.h"
#include "platform/event_dispatcher.h"
#include "platform/keys.h"
#include "platform/runtime.h"
#include "platform/shell_automation.h"
#include "platform/window_facts.h"
#include "platform/windowed_form.h"

namespace quorvel::platform {

// The title of the program's hidden application window.
inline constexpr std::string_view kApplicationTitle = "Quorvel";
// The name under which the running instance keeps, on its application
// window, the way it found the shell's minimise-all to work, and of the
// message by which a second start tells it.
inline constexpr const char* kMinimiseAllWayName = "Quorvel.MinimiseAllWay";

class FormRuntime : public Runtime, public DesktopShell, protected ComShell {
public:
    DesktopShell& shell() override { return *this; }
    void Load(Form& form) override { events_.Raise(form.events.Load); }
    void ActivateStartupForm(Form& form) override;
    ActivateOutcome AppActivate(std::string_view title,
                                const std::function<bool(Hwnd target)>& readyForKeys = {}) override;
    Hwnd WindowTitled(std::string_view title) override;
    bool SendKeys(std::string_view keys,
                  const std::function<bool(Hwnd took)>& beforeNextStroke = {}) override;
    bool AskShellObject() override;
    void SendWindowsKeyM() override;
    std::vector<Hwnd> MinimisableWindows() override;
    int SetTimeout(std::uint32_t milliseconds, std::function<void()> f) override;
    void ClearTimeout(int id) override;
    void WhenIdle(std::function<void()> f) override;
    // Counted: the resolution is raised at the first hold and restored at
    // the last release, however the holds nest.
    void HoldFineTimer(bool hold) final;

    // --- From the backend ---
    // The system's density: the main monitor's when the user signed in, at
    // which Windows lays out every window of a program that knows no other.
    virtual int SystemPixelsPerInch() const = 0;
    // The window system's answers about windows, for the rules that look at
    // other programs' windows.
    virtual WindowFacts& windowFacts() = 0;
    // Activation goes back to the user's window, never to another of our
    // forms: while one of ours is in front, to NextWindowOfOtherProgram's.
    void HandActivationAway();
    // One line of the program's trace.
    virtual void Trace(const WindowedForm& form, const char* what, const char* detail) = 0;

protected:
    // The backend's own events (the shell's broadcast) are raised through
    // this, and its DoEvents takes the user's input again through it.
    EventDispatcher& dispatcher() { return events_; }
    // The form shown modally; null while none is.
    WindowedForm* modalForm() const { return modalForm_; }
    // The user's window in front when the program last took the foreground
    // itself (its dialog, its menu), for the hand-back: 0 when unknown.
    Hwnd userWindow() const { return userWindow_; }

    // For AppActivate: a top-level window titled `title` ignoring letter
    // case, a visible one first, 0 for none; the shell's own window
    // (GetShellWindow) when it bears that title, else 0; the foreground
    // window; whether a window is this process's.
    virtual Hwnd FindTitled(std::string_view title) = 0;
    virtual Hwnd ShellWindowTitled(std::string_view title) = 0;
    virtual bool OwnsWindow(Hwnd hwnd) const = 0;
    // Asks the window system to make `target` the foreground window
    // (SetForegroundWindow); false when it refused, having flashed the
    // window's taskbar button instead. No right is asked for beforehand, nor
    // tested: the only test Windows has, AllowSetForegroundWindow, takes the
    // right away from whichever program another had handed it to.
    virtual bool RequestForeground(Hwnd target) = 0;
    // Stops the flashing of `window`'s taskbar button (FlashWindowEx with
    // FLASHW_STOP).
    virtual void StopFlashing(Hwnd window) = 0;
    // The trace's line for one attempt: `inFront` is the foreground window after it.
    virtual void TraceAppActivate(std::string_view title, Hwnd target, Hwnd inFront) = 0;
    virtual std::vector<std::uint8_t> HeldModifiers() const = 0;
    virtual void SendKeyEvents(const std::vector<KeyEvent>& keys) = 0;
    // The system timer's resolution at its finest, or back (timeBeginPeriod,
    // timeEndPeriod; nothing where the waits need neither).
    virtual void SetFinestTimerResolution(bool finest) = 0;
    // From the backend: the shell's taskbar was recreated; a second start
    // told this instance `value`.
    void TaskbarRecreated();
    void ToldBySecondStart(std::uint32_t value);
    // From the backend's pump step: WM_QUIT came (or the loop could take no
    // message, which ends it as WM_QUIT with exit code 0). Never returns.
    [[noreturn]] void Quit();
    // Before the process ends: the shell's object released, COM left.
    void ReleaseComAtExit();
    // A timer that calls TimeoutDue(id) once `milliseconds` have passed;
    // false when none could be set.
    virtual bool StartTimer(int id, std::uint32_t milliseconds) = 0;
    virtual void StopTimer(int id) = 0;
    void TimeoutDue(int id);
    // For the backend's loop: whether work waits for it to be idle, and the
    // next piece of it, run once the loop found nothing else to take.
    bool IdleWorkWaits() const { return !idleWork_.empty(); }
    void RunIdleWork();
    // A piece of idle work was queued (the simulated desktop hears of it).
    virtual void IdleWorkQueued() {}

private:
    // The forms share the run time's state: which form is current and which
    // is modal, the forms loaded, the user's window. Nothing else writes it.
    friend class WindowedForm;

    // Before the program takes the foreground itself, and as the icon's
    // callbacks come: the window in front, where it is the user's; and, as
    // a form is activated, the window that lost the activation to it.
    // `afterPress`: right after a press on the notification area, which
    // made the taskbar the foreground window before the icon heard of it.
    void NoteUserWindow(bool afterPress = false) { NoteUserWindow(Foreground(), afterPress); }
    void NoteUserWindow(Hwnd inFront, bool afterPress);
    // Until `target`'s thread is in front, or the bound.
    bool WaitForForeground(Hwnd target);
    bool SendKeyBatches(const std::vector<KeyStroke>& strokes,
                        const std::function<bool(Hwnd took)>& beforeNextStroke = {});
    // The shell's minimise-all was asked: the activations settle.
    void ShellAsked();

    EventDispatcher events_;
    ActivationModel activation_;
    WindowedForm* modalForm_ = nullptr;
    std::vector<WindowedForm*> forms_;
    Hwnd userWindow_ = 0;
    int fineTimerHolds_ = 0;
    // The shell's automation object, asked only where the shell ignored
    // its keys: COM and the object, entered and made on first need.
    ShellAutomation automation_{*this};
    std::map<int, std::function<void()>> timeouts_;
    std::deque<std::function<void()>> idleWork_;
    int lastTimeout_ = 0;
};

}  // namespace quorvel::platform
