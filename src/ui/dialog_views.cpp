#include "ui/dialog_views.h"

#include <string>

namespace quorvel {

namespace {

// The view button's caption records the view: it names the view it switches to.
constexpr const char* kOffersAbout = "&About";
constexpr const char* kOffersConfigure = "Con&figure";

}  // namespace

void ShowConfigureView(platform::Form& dialog, const ConfigureDialogControls& controls) {
    controls.viewButton.SetCaption(kOffersAbout);
    dialog.SetCaption("Configure Quorvel");
    controls.aboutBox.SetVisible(false);
    controls.aboutText.SetVisible(false);
    controls.modeFrame.SetVisible(true);
}

void ShowAboutView(platform::Form& dialog, const ConfigureDialogControls& controls) {
    controls.aboutText.SetCaption(std::string(22, ' ') + "Quorvel V1.04");
    controls.viewButton.SetCaption(kOffersConfigure);
    dialog.SetCaption("About Quorvel");
    controls.aboutBox.SetVisible(true);
    controls.aboutText.SetVisible(true);
    controls.modeFrame.SetVisible(false);
}

void SwitchView(platform::Form& dialog, const ConfigureDialogControls& controls) {
    if (controls.viewButton.Caption() == kOffersAbout) {
        ShowAboutView(dialog, controls);
    } else {
        ShowConfigureView(dialog, controls);
    }
}

}  // namespace quorvel
