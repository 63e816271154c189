#include "platform/form_runtime.h"

namespace quorvel::platform {

void FormRuntime::ActivateStartupForm(Form& form) {
    auto& f = static_cast<WindowedForm&>(form);
    if (!f.Loaded()) return;
    if (!f.hiddenByProgram && !f.Visible()) f.Show();
    // Windows refuses the foreground to a program started while another is in
    // front. The activation is the run time's own either way (its messages
    // raise nothing); the start-up form's Activate is raised below, granted
    // or not, so that the first click after it reveals.
    {
        EventDispatcher::OwnDoing own(events);
        TakeForeground(f);
    }
    Trace(f, "start-up activation", "");
    activation.StartupActivation(&f);
    events.Raise(f.events.Activate);
}

void FormRuntime::SendKeys(std::string_view keys) {
    SendKeyEvents(KeyEvents(ParseKeys(keys), HeldModifiers()));
    // The keys wait in the receiver's queue until its thread reads them, and
    // are lost should this program's window take the foreground back first:
    // the last step of a click on its taskbar button can (under Wine, the
    // display's focus change, which reaches this thread as soon as it looks
    // at its queue again).
    WaitUntilKeysRead();
    // The click that started the keys can still reach a form only when one
    // was restored (see platform/activation.h).
    bool restored = false;
    for (const WindowedForm* f : forms) {
        restored = restored || (f->description().taskbarButton && f->Loaded() && !f->Minimised());
    }
    activation.KeysSent(Now(), restored);
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
    events.Raise(f);
}

}  // namespace quorvel::platform
