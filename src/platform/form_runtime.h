// The form run time's services written once for both backends: the start-up
// activation, keystrokes, one-shot timers, and the state the forms share
// (the activation model, the modal form). A backend supplies the primitives.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "platform/activation.h"
#include "platform/dispatch.h"
#include "platform/keys.h"
#include "platform/runtime.h"
#include "platform/windowed_form.h"

namespace quorvel::platform {

class FormRuntime : public Runtime {
public:
    void Load(Form& form) override { events.Raise(form.events.Load); }
    void ActivateStartupForm(Form& form) override;
    void SendKeys(std::string_view keys) override;
    int SetTimeout(std::uint32_t milliseconds, std::function<void()> f) override;
    void ClearTimeout(int id) override;

    // --- From the backend ---
    // A millisecond clock.
    virtual std::uint32_t Now() const = 0;
    // Activation goes back to the user's window, never to another of our forms.
    virtual void HandActivationAway() = 0;
    // Takes the user's input until `done` holds (a modal form's loop).
    virtual void PumpUntil(const std::function<bool()>& done) = 0;
    // One line of the program's trace.
    virtual void Trace(const WindowedForm& form, const char* what, const char* detail) = 0;

    EventDispatcher events;
    ActivationModel activation;
    WindowedForm* modalForm = nullptr;
    std::vector<WindowedForm*> forms;

protected:
    // Makes the form the foreground window where the window system allows.
    virtual void TakeForeground(WindowedForm& form) = 0;
    virtual std::vector<std::uint8_t> HeldModifiers() const = 0;
    virtual void SendKeyEvents(const std::vector<KeyEvent>& keys) = 0;
    // Returns once the window the keys went to has read them, or after a
    // bounded wait, taking nothing but the messages other threads send.
    virtual void WaitUntilKeysRead() = 0;
    // A timer that calls TimeoutDue(id) once `milliseconds` have passed;
    // false when none could be set.
    virtual bool StartTimer(int id, std::uint32_t milliseconds) = 0;
    virtual void StopTimer(int id) = 0;
    void TimeoutDue(int id);

private:
    std::map<int, std::function<void()>> timeouts_;
    int lastTimeout_ = 0;
};

template <typename Handler, typename... Args>
void WindowedForm::Raise(const Handler& handler, Args&... args) {
    if (creating_ || !loaded_) return;
    runtime_.events.Raise(handler, args...);
}

}  // namespace quorvel::platform
