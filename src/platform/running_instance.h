// Which window is the running instance's application window: where a second
// start reads the way the running instance learnt, and tells it its own.
#pragma once

#include "platform/types.h"
#include "platform/window_facts.h"

namespace quorvel::platform {

// The class of the program's hidden application window.
inline constexpr const char* kApplicationClass = "QuorvelApplication";

// Another process's top-level window of the application class, 0 for none.
// Any program could make a window of the class, and what it holds only
// chooses among the program's ways. A second start's application window is
// message-only, not top-level, so the window found is the running
// instance's.
Hwnd RunningInstanceWindow(WindowFacts& facts);

}  // namespace quorvel::platform
