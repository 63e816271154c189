// The running program: it owns the forms, the mode in force and the
// features, and wires the forms' events to the features.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "housekeeping/clean_temp_files.h"
#include "icon/tray_icon.h"
#include "platform/form.h"
#include "platform/runtime.h"
#include "reveal/desktop_reveal.h"
#include "ui/configure_dialog.h"
#include "ui/form_controls.h"
#include "ui/program_forms.h"

namespace quorvel {

class App : public Forms {
public:
    explicit App(platform::Runtime& runtime);
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Creates the taskbar form, whose Load runs the start-up sequence, then
    // lets the run time show and activate it. Returns with the program idle
    // (or ended).
    void Start();

    platform::Runtime& runtime() { return runtime_; }
    platform::WinApi& api() { return runtime_.api(); }

    platform::Form& TaskbarForm() override { return *taskbarForm_; }
    const TaskbarFormControls& TaskbarControls() const override { return *taskbarControls_; }
    platform::Form& IconHostForm() override;
    const IconHostFormControls& IconHostControls() override;
    bool DialogVisible() const override { return dialog_.Visible(); }
    // The Configure dialog's form while it is open, else null.
    platform::Form* ConfigureDialogForm() { return dialog_.Form(); }
    const ConfigureDialog& Dialog() const { return dialog_; }
    const DesktopReveal& Reveal() const { return reveal_; }

    // The mode in force, read by the reveal, the icon and the dialog.
    std::int16_t IconMode() const { return iconMode_; }
    // Reads the stored mode and shows what it says, as the dialog's OK and
    // Cancel do.
    void ApplyIconMode();

private:
    void Load();
    ConfigureDialog::Requests DialogRequests();
    void TaskbarFormQueryUnload(std::int16_t& cancel, std::int16_t unloadMode);
    platform::FormEvents IconHostFormEvents();
    void BindIconMenu(const IconHostFormControls& controls);
    void IconCallback(std::int16_t& button, std::int16_t shift, float x, float y);
    // Removes the notification-area icon, unloads the icon's host form and
    // ends the process.
    [[noreturn]] void ExitProgram();

    platform::Runtime& runtime_;
    // Whether another instance ran when this one started: read once, at
    // start-up, and handed to the features that differ for it.
    const bool secondStart_;
    std::int16_t iconMode_ = 0;
    // The features outlive the forms, whose events reach them.
    TrayIcon trayIcon_;
    DesktopReveal reveal_;
    ConfigureDialog dialog_;
    // Each form's controls are found right after it is made.
    std::unique_ptr<platform::Form> taskbarForm_;
    std::optional<TaskbarFormControls> taskbarControls_;
    std::optional<TempCleanup> cleanup_;  // over its file list
    std::unique_ptr<platform::Form> iconHostForm_;
    std::optional<IconHostFormControls> iconHostControls_;
};

}  // namespace quorvel
