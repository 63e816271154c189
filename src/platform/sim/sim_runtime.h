// The form run time on the simulated desktop, for one process of the program.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/dispatch.h"
#include "platform/runtime.h"
#include "platform/sim/desktop.h"
#include "platform/sim/sim_winapi.h"

namespace quorvel::sim {

class SimForm;

// What the user does to the program's own controls, for the tests' driver:
// a click on a command button, option button or menu item, and Enter or
// Escape in a dialog.
void ClickControl(platform::Form& form, std::string_view name, int index = 0);
void PressKey(platform::Form& form, std::uint8_t virtualKey);
inline constexpr std::uint8_t VK_RETURN = 0x0D;
inline constexpr std::uint8_t VK_ESCAPE = 0x1B;

class SimRuntime : public platform::Runtime {
public:
    // Starts a process of the program on the desktop: its hidden application
    // window is titled "Quorvel", as a form run time's application is.
    explicit SimRuntime(Desktop& desktop);
    ~SimRuntime() override;

    int pid() const { return pid_; }
    Desktop& desktop() { return desk_; }
    Hwnd applicationWindow() const { return appWindow_; }

    platform::WinApi& api() override { return api_; }
    std::unique_ptr<platform::Form> CreateForm(const platform::FormDescription& description,
                                               platform::FormEvents events) override;
    void Load(platform::Form& form) override { events_.Raise(form.events.Load); }
    void ActivateStartupForm(platform::Form& form) override;
    bool AppActivate(std::string_view title) override;
    void SendKeys(std::string_view keys) override;
    void DoEvents() override;
    int MsgBox(std::string_view prompt, int style, std::string_view title) override;
    void Kill(const std::string& path) override;
    bool PrevInstance() override { return prevInstance_; }
    int SetTimeout(std::uint32_t milliseconds, std::function<void()> f) override;
    void ClearTimeout(int id) override;

protected:
    void EndProcess() override;

private:
    friend class SimForm;
    platform::EventDispatcher events_;
    friend class SimControl;
    bool IsOurs(Hwnd hwnd) const;
    // Activation goes back to the user's window, never to another of our forms.
    void HandActivationAway();

    Desktop& desk_;
    int pid_;
    SimWinApi api_;
    Hwnd appWindow_ = 0;
    bool prevInstance_ = false;
    std::set<int> timeouts_;  // the desktop's ids of the timers not yet run
    std::vector<SimForm*> forms_;
    SimForm* lastActiveForm_ = nullptr;
    SimForm* modalForm_ = nullptr;
};

}  // namespace quorvel::sim
