// The Configure dialog's behaviour: its configure and About views, and its
// four buttons.
#pragma once

#include "platform/forms.h"
#include "ui/form_controls.h"

namespace quorvel {

class App;

void BindConfigureDialogEvents(App& app, platform::FormEvents& events);
void BindConfigureDialogControls(App& app, platform::Form& form3, const ConfigureDialogControls& controls);

void ShowConfigureView(platform::Form& form3, const ConfigureDialogControls& controls);
void ShowAboutView(platform::Form& form3, const ConfigureDialogControls& controls);

}  // namespace quorvel
