// The running program: its forms, the mode in force, and the procedures that
// the forms' handlers share.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/forms.h"
#include "platform/runtime.h"
#include "reveal/minimise_check.h"
#include "ui/form_controls.h"

namespace quorvel {

// Where the program shows its icon; equals the index of the matching option
// button of the Configure dialog.
enum IconModeValue : std::int16_t { TrayOnly = 1, TaskbarOnly = 2, BothIcons = 3 };

class App {
public:
    explicit App(platform::Runtime& runtime);
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Creates Form1, whose Load runs the start-up sequence, then lets the run
    // time show and activate it. Returns with the program idle (or ended).
    void Start();

    platform::Runtime& runtime() { return runtime_; }
    platform::WinApi& api() { return runtime_.api(); }

    platform::Form& Form1() { return *form1_; }
    const TaskbarFormControls& Form1Controls() const { return *form1Controls_; }
    // Loaded on first use, and afresh when used after an unload.
    platform::Form& Form2();
    // Its controls, loading it as Form2() does.
    const IconHostFormControls& Form2Controls();
    // The Configure dialog while it is open, else null.
    platform::Form* Form3() { return form3_.get(); }
    const ConfigureDialogControls* Form3Controls() const {
        return form3Controls_ ? &*form3Controls_ : nullptr;
    }
    bool DialogVisible() const { return form3_ && form3_->Loaded() && form3_->Visible(); }

    // Opens the Configure dialog modally and returns when it has closed. When
    // it is already open, brings it to the front instead.
    void ShowConfigureDialog();

    // The mode in force.
    std::int16_t IconMode = 0;

    // A notification-area icon the shell refused, tried again later: the
    // pending one-shot timer (0: none) and the tries left.
    struct TrayRetry {
        int timer = 0;
        int triesLeft = 0;
    } trayRetry;
    // Whether this process has asked the shell for an icon: only then can
    // there be one to remove.
    bool trayIconAsked = false;

    // Whether the shell acts on the minimise-all keys.
    MinimiseAllCheck minimiseAll;

private:
    void BindForm1Events(platform::FormEvents& events);

    platform::Runtime& runtime_;
    // Each form's controls are found right after it is made.
    std::unique_ptr<platform::Form> form1_;
    std::optional<TaskbarFormControls> form1Controls_;
    std::unique_ptr<platform::Form> form2_;
    std::optional<IconHostFormControls> form2Controls_;
    std::unique_ptr<platform::Form> form3_;
    std::optional<ConfigureDialogControls> form3Controls_;
};

// Removes the notification-area icon, unloads Form2 and ends the process.
[[noreturn]] void ExitProgram(App& app);

// Puts Form1 and Form2 back at the off-screen position, each assignment on
// its own so that one failing move does not stop the others.
void MoveOffScreen(App& app);

// Form1's close request: opens the Configure dialog (window menu) or ends.
void Form1QueryUnload(App& app, std::int16_t& cancel, std::int16_t unloadMode);
// Form2's and Form3's: only a shut-down, log-off or task-manager close ends.
void SecondaryFormQueryUnload(App& app, std::int16_t unloadMode);

// Timer1's tick: brings the Configure dialog to the front once it exists.
void ActivationTimerTick(App& app);

}  // namespace quorvel
