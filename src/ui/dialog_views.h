// The Configure dialog's two views: the mode options, and the About text.
#pragma once

#include "platform/form.h"
#include "ui/form_controls.h"

namespace quorvel {

void ShowConfigureView(platform::Form& dialog, const ConfigureDialogControls& controls);
void ShowAboutView(platform::Form& dialog, const ConfigureDialogControls& controls);
// The view button's click: to the view it offers.
void SwitchView(platform::Form& dialog, const ConfigureDialogControls& controls);

}  // namespace quorvel
