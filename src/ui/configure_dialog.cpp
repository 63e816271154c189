#include "ui/configure_dialog.h"

#include <string>

#include "app/app.h"
#include "icon/icon_mode.h"
#include "settings/icon_setting.h"

namespace quorvel {

namespace {

// Command1's caption records the view: it names the view it switches to.
constexpr const char* kOffersAbout = "&About";
constexpr const char* kOffersConfigure = "Con&figure";

void Activate(App& app, platform::Form& form3, const ConfigureDialogControls& controls) {
    if (app.Form2Controls().aboutItem.Tag() == "*") ShowAboutView(form3, controls);
    app.IconMode = ToIconMode(GetIconMode(app.api()));
    controls.ModeOption(app.IconMode).SetValue(true);
}

std::int16_t SelectedMode(App& app, const ConfigureDialogControls& controls) {
    std::int16_t mode = app.IconMode;  // one option is always selected once activated
    for (std::int16_t i = 1; i <= 3; ++i) {
        if (controls.ModeOption(i).Value()) mode = i;
    }
    return mode;
}

}  // namespace

void ShowConfigureView(platform::Form& form3, const ConfigureDialogControls& controls) {
    controls.viewButton.SetCaption(kOffersAbout);
    form3.SetCaption("Configure Quorvel");
    controls.aboutBox.SetVisible(false);
    controls.aboutText.SetVisible(false);
    controls.modeFrame.SetVisible(true);
}

void ShowAboutView(platform::Form& form3, const ConfigureDialogControls& controls) {
    controls.aboutText.SetCaption(std::string(22, ' ') + "Quorvel V1.04");
    controls.viewButton.SetCaption(kOffersConfigure);
    form3.SetCaption("About Quorvel");
    controls.aboutBox.SetVisible(true);
    controls.aboutText.SetVisible(true);
    controls.modeFrame.SetVisible(false);
}

void BindConfigureDialogEvents(App& app, platform::FormEvents& events) {
    events.Activate = [&app] { Activate(app, *app.Form3(), *app.Form3Controls()); };
    events.QueryUnload = [&app](std::int16_t&, std::int16_t mode) {
        SecondaryFormQueryUnload(app, mode);
    };
}

// The handlers belong to the dialog's own controls, so they keep a copy of
// the references to them.
void BindConfigureDialogControls(App& app, platform::Form& form3, const ConfigureDialogControls& controls) {
    controls.viewButton.Click = [&form3, controls] {
        if (controls.viewButton.Caption() == kOffersAbout) {
            ShowAboutView(form3, controls);
        } else {
            ShowConfigureView(form3, controls);
        }
    };
    controls.okButton.Click = [&app, &form3, controls] {
        SaveIconMode(app.api(), SelectedMode(app, controls));
        ShowConfigureView(form3, controls);
        form3.Unload();
        ApplyIconMode(app);
    };
    controls.cancelButton.Click = [&app, &form3, controls] {
        ShowConfigureView(form3, controls);
        form3.Unload();
        ApplyIconMode(app);  // the stored mode, again in full
    };
    controls.exitButton.Click = [&app] {
        int answer =
            app.runtime().MsgBox("You are about to exit Quorvel.",
                                 platform::vbOKCancel + platform::vbInformation, "Exit Quorvel");
        if (answer == platform::vbOK) ExitProgram(app);
    };
}

}  // namespace quorvel
