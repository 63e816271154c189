// The three forms with their controls, captions, geometry and initial states,
// under the names the form designer gave them. These names, and the
// control look-up (form_controls.*), are the only places they appear.
#pragma once

#include "platform/form_description.h"

namespace quorvel {

// The start-up form: the taskbar button, the cleanup's file list and the
// notification-area icon's picture.
const platform::FormDescription& TaskbarFormDescription();
// Never meant to be seen: hosts the notification-area icon, the activation
// timer and the pop-up menu.
const platform::FormDescription& IconHostFormDescription();
// The Configure dialog, which also shows an About view.
const platform::FormDescription& ConfigureDialogDescription();

}  // namespace quorvel
