#include "platform/form_runtime.h"

#include <algorithm>
#include <string>

#include "platform/hand_away.h"
#include "platform/minimisable_windows.h"

namespace quorvel::platform {

Hwnd FormRuntime::WindowTitled(std::string_view title) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    auto same = [&](char a, char b) { return fold(a) == fold(b); };
    if (std::equal(title.begin(), title.end(), kApplicationTitle.begin(), kApplicationTitle.end(),
                   same)) {
        // Our own application means its dialog in front, never another
        // program's window of that title (a file manager showing the folder
        // this program is kept in, say).
        return modalForm_ != nullptr ? modalForm_->hWnd() : 0;
    }
    // The shell's own window first: any program can title a window "Program
    // Manager", and keys typed into it would land in that program. Another
    // program's window of the title is taken only where the shell registers
    // none.
    if (Hwnd shell = ShellWindowTitled(title)) return shell;
    return FindTitled(title);
}

void FormRuntime::NoteUserWindow(Hwnd inFront, bool afterPress) {
    // Not a window of the shell's (of the process with the taskbar): a press
    // on the notification area makes the taskbar the foreground window
    // before the icon hears of it, and a click on the desktop is no window
    // to go back to. After a press the user's window is the one noted
    // before: the pointer's moves over the icon come first, the user's
    // window in front. Else the user has left the one noted (for another,
    // maybe, while the program was idle), and the window to go back to is
    // the one on top.
    if (inFront == 0 || OwnsWindow(inFront)) return;
    if (WindowOfClass("Shell_TrayWnd", ProcessOf(inFront)) != 0) {
        if (!afterPress) userWindow_ = 0;
        return;
    }
    userWindow_ = inFront;
}

void FormRuntime::HandActivationAway() {
    if (!OwnsWindow(Foreground())) return;
    if (const Hwnd next = NextWindowOfOtherProgram(windowFacts(), userWindow_)) {
        TraceNote("activation handed to " + std::to_string(next));
        RequestForeground(next);
    }
}

std::vector<Hwnd> FormRuntime::MinimisableWindows() {
    return platform::MinimisableWindows(windowFacts());
}

void FormRuntime::HoldFineTimer(bool hold) {
    if (hold && fineTimerHolds_++ == 0) SetFinestTimerResolution(true);
    if (!hold && fineTimerHolds_ > 0 && --fineTimerHolds_ == 0) SetFinestTimerResolution(false);
}

void FormRuntime::ActivateStartupForm(Form& form) {
    auto& f = static_cast<WindowedForm&>(form);
    if (!f.Loaded()) return;
    if (!f.HiddenByProgram() && !f.Visible()) f.Show();
    // Windows refuses the foreground to a program started while another is in
    // front. The activation is the run time's own either way (its messages
    // raise nothing); the start-up form's Activate is raised below, granted
    // or not, so that the first click after it reveals.
    NoteUserWindow();
    bool granted = false;
    {
        auto own = events_.OwnDoing();
        granted = RequestForeground(f.hWnd());
        if (granted) WaitForForeground(f.hWnd());
    }
    // Refused, Windows flashes the form's taskbar button until the user
    // clicks it: the program asked for nothing the user needs to see.
    if (!granted) StopFlashing(f.hWnd());
    Trace(f, "start-up activation", granted ? "" : "refused; its button's flashing stopped");
    activation_.StartupActivation(&f);
    events_.Raise(f.events.Activate);
}

bool FormRuntime::WaitForForeground(Hwnd target) {
    // SetForegroundWindow returns before the change has happened (under
    // Wine); keys sent at once would reach the old window. Any window of the
    // target's thread will do (see SameThread).
    return WaitUntil([&] { return SameThread(Foreground(), target); }, kForegroundWaitUs);
}

ActivateOutcome FormRuntime::AppActivate(std::string_view title,
                                         const std::function<bool(Hwnd target)>& readyForKeys) {
    const Hwnd target = WindowTitled(title);
    if (target == 0) {
        TraceAppActivate(title, 0, Foreground());
        return ActivateOutcome::NoWindow;
    }
    // The change may be undone at once: the last step of a click on the
    // taskbar can still make our window the foreground one, and under Wine a
    // window the display had given the focus just before (our second
    // instance's, say) takes the foreground when its thread gets to the
    // display's event. No key has been sent yet, so the foreground is taken
    // again, a bounded number of times. Neither a request refused (Windows'
    // rules: it would be refused again) nor one granted whose window never
    // came (the window in front is the one that was, not ours: the window's
    // thread does not answer) is repeated.
    ActivateOutcome outcome = ActivateOutcome::NotInFront;
    for (int attempt = 0; attempt < kActivateAttempts; ++attempt) {
        const Hwnd before = Foreground();
        if (!RequestForeground(target)) {
            TraceNote("AppActivate: the foreground refused");
            return ActivateOutcome::Refused;
        }
        const bool reached = WaitForForeground(target);
        const bool ready = reached && (!readyForKeys || readyForKeys(target));
        const Hwnd inFront = Foreground();
        TraceAppActivate(title, target, inFront);
        if (ready) return ActivateOutcome::Ready;
        outcome = reached ? ActivateOutcome::NotReady : ActivateOutcome::NotInFront;
        if (!reached && inFront == before && !OwnsWindow(inFront)) break;
    }
    return outcome;
}

bool FormRuntime::SendKeys(std::string_view keys,
                           const std::function<bool(Hwnd took)>& beforeNextStroke) {
    return SendKeyBatches(ParseKeys(keys), beforeNextStroke);
}

bool FormRuntime::AskShellObject() {
    if (!automation_.MinimizeAll()) return false;
    ShellAsked();
    return true;
}

void FormRuntime::TaskbarRecreated() {
    // A new taskbar: the object made for the old one may not reach it.
    automation_.Drop();
    events_.Raise(TaskbarCreated);
}

void FormRuntime::Quit() {
    // An end from outside (a WM_QUIT posted to the program) is an orderly
    // one: the running instance takes its own way out, which removes its
    // icon; the process then ends with every form still in place, so nothing
    // of it is used after it is gone. A second start ends at once, as it
    // does once its request is answered.
    if (!PrevInstance() && QuitReceived) events_.Raise(QuitReceived);
    End();
}

void FormRuntime::ReleaseComAtExit() {
    automation_.ReleaseAtExit();
}

void FormRuntime::SendWindowsKeyM() {
    SendKeyBatches({{'M', false, true}});
}

void FormRuntime::ToldBySecondStart(std::uint32_t value) {
    events_.Raise(SecondStartTold, value);
}

bool FormRuntime::SendKeyBatches(const std::vector<KeyStroke>& strokes,
                                 const std::function<bool(Hwnd took)>& beforeNextStroke) {
    // The keys wait in the receiver's queue until its thread reads them, and
    // are lost should the foreground change first; no Win32 function tells
    // when another thread has read its input. So nothing of a click may be
    // left to come after them: a click on the taskbar button raises Activate
    // once the restore it started is over (see WindowedForm::Activated).
    Hwnd took = 0;
    std::vector<std::uint8_t> heldAtFirst;
    bool all = true;
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        // The caller paces the strokes: Windows gives a key to the thread in
        // front as it takes the key off the system queue, and a stroke may
        // move the keyboard (Tab on the shell's desktop hands it to its
        // taskbar).
        if (i > 0 && beforeNextStroke && !beforeNextStroke(took)) {
            all = false;
            break;
        }
        took = Foreground();
        // What is held is read again before every stroke: a key can come
        // back down in between (the user presses it). The keys held at the
        // first are let go again however they read: under Wine, the thread
        // that takes the focus gets the keys physically held when it gets
        // to the display's focus event, which can come after this read; a
        // key let go that is up already changes nothing.
        std::vector<std::uint8_t> held = HeldModifiers();
        if (i == 0) heldAtFirst = held;
        for (std::uint8_t vk : heldAtFirst) {
            if (std::find(held.begin(), held.end(), vk) == held.end()) held.push_back(vk);
        }
        SendKeyEvents(KeyBatch(strokes[i], held));
    }
    ShellAsked();
    return all;
}

void FormRuntime::ShellAsked() {
    // The click that started the keys can still reach a form only when one
    // was restored (see platform/activation.h).
    bool restored = false;
    for (const WindowedForm* f : forms_) {
        restored = restored || (f->description().taskbarButton && f->Loaded() && !f->Minimised());
    }
    activation_.ShellAsked(Now(), restored);
}

// One-shot: each timer is stopped before its handler runs, so none is left
// waking the program once it has fired.
int FormRuntime::SetTimeout(std::uint32_t milliseconds, std::function<void()> f) {
    const int id = ++lastTimeout_;
    if (StartTimer(id, milliseconds)) timeouts_[id] = std::move(f);
    return id;
}

void FormRuntime::ClearTimeout(int id) {
    if (timeouts_.erase(id) != 0) StopTimer(id);
}

void FormRuntime::WhenIdle(std::function<void()> f) {
    idleWork_.push_back(std::move(f));
    IdleWorkQueued();
}

void FormRuntime::RunIdleWork() {
    if (idleWork_.empty()) return;
    std::function<void()> f = std::move(idleWork_.front());
    idleWork_.pop_front();
    events_.Raise(f);
}

void FormRuntime::TimeoutDue(int id) {
    StopTimer(id);
    auto it = timeouts_.find(id);
    if (it == timeouts_.end()) return;
    std::function<void()> f = std::move(it->second);
    timeouts_.erase(it);
    events_.Raise(f);
}

}  // namespace quorvel::platform
