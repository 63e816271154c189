// The three forms with their controls, captions, geometry and initial states.
#pragma once

#include "platform/form_description.h"

namespace quorvel {

// The start-up form: the taskbar button, the cleanup's file list and the
// notification-area icon's picture.
const platform::FormDescription& Form1Description();
// Never meant to be seen: hosts the notification-area icon, Timer1 and the pop-up menu.
const platform::FormDescription& Form2Description();
// The Configure dialog, which also shows an About view.
const platform::FormDescription& Form3Description();

}  // namespace quorvel
