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

void Activate(App& app, platform::Form& form3, const ControlsOfForm3& controls) {
    if (app.Form2Controls().lblAbout.Tag() == "*") ShowAboutView(form3, controls);
    app.IconMode = ToIconMode(GetIconMode(app.api()));
    controls.Option1(app.IconMode).SetValue(true);
}

std::int16_t SelectedMode(App& app, const ControlsOfForm3& controls) {
    std::int16_t mode = app.IconMode;  // one option is always selected once activated
    for (std::int16_t i = 1; i <= 3; ++i) {
        if (controls.Option1(i).Value()) mode = i;
    }
    return mode;
}

}  // namespace

void ShowConfigureView(platform::Form& form3, const ControlsOfForm3& controls) {
    controls.Command1.SetCaption(kOffersAbout);
    form3.SetCaption("Configure Quorvel");
    controls.AboutBox.SetVisible(false);
    controls.Label1.SetVisible(false);
    controls.Frame1.SetVisible(true);
}

void ShowAboutView(platform::Form& form3, const ControlsOfForm3& controls) {
    controls.Label1.SetCaption(std::string(22, ' ') + "Quorvel V1.04");
    controls.Command1.SetCaption(kOffersConfigure);
    form3.SetCaption("About Quorvel");
    controls.AboutBox.SetVisible(true);
    controls.Label1.SetVisible(true);
    controls.Frame1.SetVisible(false);
}

void BindConfigureDialogEvents(App& app, platform::FormEvents& events) {
    events.Activate = [&app] { Activate(app, *app.Form3(), *app.Form3Controls()); };
    events.QueryUnload = [&app](std::int16_t&, std::int16_t mode) {
        SecondaryFormQueryUnload(app, mode);
    };
}

// The handlers belong to the dialog's own controls, so they keep a copy of
// the references to them.
void BindConfigureDialogControls(App& app, platform::Form& form3, const ControlsOfForm3& controls) {
    controls.Command1.Click = [&form3, controls] {
        if (controls.Command1.Caption() == kOffersAbout) {
            ShowAboutView(form3, controls);
        } else {
            ShowConfigureView(form3, controls);
        }
    };
    controls.Command2.Click = [&app, &form3, controls] {
        SaveIconMode(app.api(), SelectedMode(app, controls));
        ShowConfigureView(form3, controls);
        form3.Unload();
        ApplyIconMode(app);
    };
    controls.Command3.Click = [&app, &form3, controls] {
        ShowConfigureView(form3, controls);
        form3.Unload();
        ApplyIconMode(app);  // the stored mode, again in full
    };
    controls.Command4.Click = [&app] {
        int answer =
            app.runtime().MsgBox("You are about to exit Quorvel.",
                                 platform::vbOKCancel + platform::vbInformation, "Exit Quorvel");
        if (answer == platform::vbOK) ExitProgram(app);
    };
}

}  // namespace quorvel
