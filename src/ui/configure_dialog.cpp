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

void Activate(App& app, platform::Form& form3) {
    if (app.Form2().control("lblAbout").Tag() == "*") ShowAboutView(form3);
    app.IconMode = ToIconMode(GetIconMode(app.api()));
    form3.control("Option1", app.IconMode).SetValue(true);
}

std::int16_t SelectedMode(App& app, platform::Form& form3) {
    std::int16_t mode = app.IconMode;  // one option is always selected once activated
    for (std::int16_t i = 1; i <= 3; ++i) {
        if (form3.control("Option1", i).Value()) mode = i;
    }
    return mode;
}

}  // namespace

void ShowConfigureView(platform::Form& form3) {
    form3.control("Command1").SetCaption(kOffersAbout);
    form3.SetCaption("Configure Quorvel");
    form3.control("AboutBox").SetVisible(false);
    form3.control("Label1").SetVisible(false);
    form3.control("Frame1").SetVisible(true);
}

void ShowAboutView(platform::Form& form3) {
    form3.control("Label1").SetCaption(std::string(22, ' ') + "Quorvel V1.04");
    form3.control("Command1").SetCaption(kOffersConfigure);
    form3.SetCaption("About Quorvel");
    form3.control("AboutBox").SetVisible(true);
    form3.control("Label1").SetVisible(true);
    form3.control("Frame1").SetVisible(false);
}

void BindConfigureDialogEvents(App& app, platform::FormEvents& events) {
    events.Activate = [&app] { Activate(app, *app.Form3()); };
    events.QueryUnload = [&app](std::int16_t&, std::int16_t mode) {
        SecondaryFormQueryUnload(app, mode);
    };
}

void BindConfigureDialogControls(App& app, platform::Form& form3) {
    form3.control("Command1").Click = [&form3] {
        if (form3.control("Command1").Caption() == kOffersAbout) {
            ShowAboutView(form3);
        } else {
            ShowConfigureView(form3);
        }
    };
    form3.control("Command2").Click = [&app, &form3] {
        SaveIconMode(app.api(), SelectedMode(app, form3));
        ShowConfigureView(form3);
        form3.Unload();
        ApplyIconMode(app);
    };
    form3.control("Command3").Click = [&app, &form3] {
        ShowConfigureView(form3);
        form3.Unload();
        ApplyIconMode(app);  // the stored mode, again in full
    };
    form3.control("Command4").Click = [&app] {
        int answer =
            app.runtime().MsgBox("You are about to exit Quorvel.",
                                 platform::vbOKCancel + platform::vbInformation, "Exit Quorvel");
        if (answer == platform::vbOK) ExitProgram(app);
    };
}

}  // namespace quorvel
