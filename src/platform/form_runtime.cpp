#include "platform/form_runtime.h"

#include <algorithm>

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

void FormRuntime::NoteUserWindow() {
    const Hwnd inFront = Foreground();
    if (inFront != 0 && !OwnsWindow(inFront)) userWindow_ = inFront;
}

void FormRuntime::ActivateStartupForm(Form& form) {
    auto& f = static_cast<WindowedForm&>(form);
    if (!f.Loaded()) return;
    if (!f.HiddenByProgram() && !f.Visible()) f.Show();
    // Windows refuses the foreground to a program started while another is in
    // front. The activation is the run time's own either way (its messages
    // raise nothing); the start-up form's Activate is raised below, granted
    // or not, so that the first click after it reveals.
    // A program that may not take the foreground does not ask for it: the
    // refusal would flash its taskbar button until the user clicks it.
    const bool may = MayRequestForeground();
    if (may) {
        NoteUserWindow();
        EventDispatcher::OwnDoing own(events_);
        if (RequestForeground(f.hWnd())) WaitForForeground(f.hWnd());
    }
    Trace(f, "start-up activation", may ? "" : "not asked: may not take the foreground");
    activation_.StartupActivation(&f);
    events_.Raise(f.events.Activate);
}

bool FormRuntime::AppActivate(std::string_view title) {
    const Hwnd target = WindowTitled(title);
    if (target == 0) {
        TraceAppActivate(title, 0, Foreground());
        return false;
    }
    // Refused, the request would only flash the window's taskbar button.
    if (!MayRequestForeground()) {
        TraceNote("AppActivate: may not take the foreground");
        return false;
    }
    // The change may be undone at once: the last step of a click on the
    // taskbar can still make our window the foreground one, and under Wine a
    // window the display had given the focus just before (our second
    // instance's, say) takes the foreground when its thread gets to the
    // display's event. No key has been sent yet, so the foreground is taken
    // again, a bounded number of times. A request refused (Windows' lock on
    // the foreground: the target never came to the front, and the window in
    // front is the one that was, not ours) is not repeated: it would only be
    // refused again.
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const Hwnd before = Foreground();
        RequestForeground(target);
        const bool reached = WaitForForeground(target);
        const bool ready = reached && WaitUntilReadyForKeys(target);
        const Hwnd inFront = Foreground();
        TraceAppActivate(title, target, inFront);
        if (ready) return true;
        if (!reached && inFront == before && !OwnsWindow(inFront)) return false;
    }
    return false;
}

void FormRuntime::SendKeys(std::string_view keys) {
    SendKeyBatches(ParseKeys(keys));
}

void FormRuntime::MinimiseAllOtherWay() {
    // A shell object that failed once (Wine's is a stub) is not asked again:
    // loading COM for it costs every request.
    if (!shellObjectFailed_ && ShellMinimizeAll()) {
        TraceNote("minimise-all: the shell's automation object");
        KeysDone();
    } else {
        shellObjectFailed_ = true;
        TraceNote("minimise-all: Windows key + M");
        SendKeyBatches({{'M', false, true}});
    }
}

void FormRuntime::SendKeyBatches(const std::vector<KeyStroke>& strokes) {
    // The keys wait in the receiver's queue until its thread reads them, and
    // are lost should the foreground change first; no Win32 function tells
    // when another thread has read its input. So nothing of a click may be
    // left to come after them: a click on the taskbar button raises Activate
    // once the restore it started is over (see WindowedForm::Activated).
    Hwnd took = 0;
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        // Windows gives a key to the thread in front as it takes the key off
        // the system queue: the next stroke goes out once the last one has
        // moved the keyboard (Tab on the shell's desktop hands it to its
        // taskbar), or the bound has passed.
        if (i > 0) WaitForKeyboardToLeave(took);
        took = Foreground();
        SendKeyEvents(KeyBatch(strokes[i], HeldModifiers()));
    }
    KeysDone();
}

void FormRuntime::KeysDone() {
    // The click that started the keys can still reach a form only when one
    // was restored (see platform/activation.h).
    bool restored = false;
    for (const WindowedForm* f : forms_) {
        restored = restored || (f->description().taskbarButton && f->Loaded() && !f->Minimised());
    }
    activation_.KeysSent(Now(), restored);
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

void FormRuntime::TimeoutDue(int id) {
    StopTimer(id);
    auto it = timeouts_.find(id);
    if (it == timeouts_.end()) return;
    std::function<void()> f = std::move(it->second);
    timeouts_.erase(it);
    events_.Raise(f);
}

}  // namespace quorvel::platform
