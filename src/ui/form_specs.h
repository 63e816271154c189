// The three forms with their controls, captions, geometry and initial states.
#pragma once

#include "platform/form_spec.h"

namespace quorvel {

// The start-up form: the taskbar button, the cleanup's file list and the
// notification-area icon's picture.
const platform::FormSpec& Form1Spec();
// Never meant to be seen: hosts the notification-area icon, Timer1 and the pop-up menu.
const platform::FormSpec& Form2Spec();
// The Configure dialog, which also shows an About view.
const platform::FormSpec& Form3Spec();

}  // namespace quorvel
