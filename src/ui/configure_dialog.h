// The Configure dialog: one at a time, modal, opened from the taskbar
// button's window menu or the icon's menu; its mode options, its About view
// and its four buttons.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/runtime.h"
#include "ui/form_controls.h"
#include "ui/program_forms.h"

namespace quorvel {

class ConfigureDialog {
public:
    // What the dialog's buttons and close requests ask of the rest of the program.
    struct Requests {
        std::function<void()> applyIconMode;
        // Shows the mode in force as it stands, reading nothing.
        std::function<void()> showIconMode;
        std::function<void()> exitProgram;
    };
    // `iconMode` is the mode in force: the dialog reads the stored one into
    // it as it activates.
    ConfigureDialog(platform::Runtime& runtime, Forms& forms, std::int16_t& iconMode,
                    Requests requests);
    ConfigureDialog(const ConfigureDialog&) = delete;
    ConfigureDialog& operator=(const ConfigureDialog&) = delete;

    // Opens the dialog modally and returns when it has closed. When it is
    // already open, brings it to the front instead.
    void Open();
    // The same, in the About view.
    void OpenAbout();
    // The same from the window menu, whose "&Configure" carries the close
    // command: the icon's host form's timer brings the dialog to the front
    // once its window exists.
    void OpenFromWindowMenu();
    // That timer's tick.
    void ActivationTimerTick();

    bool Visible() const { return form_ && form_->Loaded() && form_->Visible(); }
    // The dialog's form while it is open, else null.
    platform::Form* Form() { return form_.get(); }
    // Opened for its About view: the view it shows as it activates.
    bool AboutRequested() const { return aboutRequested_; }

private:
    platform::FormEvents DialogEvents();
    void BindButtons(platform::Form& form, const ConfigureDialogControls& controls);
    void Activated();
    std::int16_t SelectedMode(const ConfigureDialogControls& controls) const;

    platform::Runtime& runtime_;
    Forms& forms_;
    std::int16_t& iconMode_;
    Requests requests_;
    // The controls are found right after the form is made.
    std::unique_ptr<platform::Form> form_;
    std::optional<ConfigureDialogControls> controls_;
    bool aboutRequested_ = false;
    // Closed by the user's close request (Alt+F4, its close button).
    bool closedByUser_ = false;
};

}  // namespace quorvel
