#pragma once

#include "platform/runtime.h"
#include "ui/program_forms.h"

namespace quorvel {

// Puts the taskbar form and the icon's host form back at the off-screen
// position, each assignment on its own so that one failing move does not
// stop the others.
void MoveOffScreen(platform::Runtime& runtime, Forms& forms);

}  // namespace quorvel
