// The windows a minimise-all would take, as the program counts them: the
// watch after a request looks at these to tell whether the shell acted.
#pragma once

#include <vector>

#include "platform/types.h"
#include "platform/window_facts.h"

namespace quorvel::platform {

// Front to back: visible, enabled, not minimised yet, with a minimise
// button, not a tool window, not owned, not this program's, not cloaked.
// Windows' own shell spares windows without a minimise button; a window
// behind its own dialog (disabled) may be spared too. The shell's own
// windows (its desktop, its taskbar) have no minimise button.
std::vector<Hwnd> MinimisableWindows(WindowFacts& facts);

}  // namespace quorvel::platform
