#include "ui/configure_dialog.h"

#include <utility>

#include "settings/icon_setting.h"
#include "ui/dialog_views.h"
#include "ui/form_descriptions.h"

namespace quorvel {

ConfigureDialog::ConfigureDialog(platform::Runtime& runtime, Forms& forms, std::int16_t& iconMode,
                                 Requests requests)
    : runtime_(runtime), forms_(forms), iconMode_(iconMode), requests_(std::move(requests)) {}

void ConfigureDialog::Open() {
    if (Visible()) {
        // Already open (from the other menu): bring it to the front, no second one.
        runtime_.AppActivate(form_->Caption());
        return;
    }
    form_ = runtime_.CreateForm(ConfigureDialogDescription(), DialogEvents());
    controls_.emplace(*form_);
    BindButtons(*form_, *controls_);
    form_->ShowModal();
    controls_.reset();
    form_.reset();
    // Its activation read the stored mode into the mode in force, which may
    // not be what shows: another program may have stored another. A close
    // stores nothing and reads nothing, but what shows must be what is in
    // force: shown in the mode 1 the button would go at the next reveal and
    // nothing would be left to click.
    if (std::exchange(closedByUser_, false)) requests_.showIconMode();
}

void ConfigureDialog::OpenAbout() {
    // The dialog finds the request when it activates and opens its About view.
    aboutRequested_ = true;
    Open();
    aboutRequested_ = false;
}

platform::FormEvents ConfigureDialog::DialogEvents() {
    platform::FormEvents events;
    events.Activate = [this] { Activated(); };
    events.QueryUnload = [this](std::int16_t&, std::int16_t mode) {
        if (EndsTheProgram(mode)) requests_.exitProgram();
        if (mode == platform::vbFormControlMenu) closedByUser_ = true;
    };
    return events;
}

void ConfigureDialog::Activated() {
    if (aboutRequested_) ShowAboutView(*form_, *controls_);
    iconMode_ = ToIconMode(GetIconMode(runtime_.api()));
    controls_->ModeOption(iconMode_).SetValue(true);
}

std::int16_t ConfigureDialog::SelectedMode(const ConfigureDialogControls& controls) const {
    std::int16_t mode = iconMode_;  // one option is always selected once activated
    for (std::int16_t i = 1; i <= 3; ++i) {
        if (controls.ModeOption(i).Value()) mode = i;
    }
    return mode;
}

// The handlers belong to the dialog's own controls, so they keep a copy of
// the references to them.
void ConfigureDialog::BindButtons(platform::Form& form, const ConfigureDialogControls& controls) {
    controls.viewButton.Click = [&form, controls] { SwitchView(form, controls); };
    controls.okButton.Click = [this, &form, controls] {
        SaveIconMode(runtime_.api(), SelectedMode(controls));
        ShowConfigureView(form, controls);
        form.Unload();
        requests_.applyIconMode();
    };
    controls.cancelButton.Click = [this, &form, controls] {
        ShowConfigureView(form, controls);
        form.Unload();
        requests_.applyIconMode();  // the stored mode, again in full
    };
    controls.exitButton.Click = [this] {
        int answer =
            runtime_.MsgBox("You are about to exit Quorvel.",
                            platform::vbOKCancel + platform::vbInformation, "Exit Quorvel");
        if (answer == platform::vbOK) requests_.exitProgram();
    };
}

}  // namespace quorvel
