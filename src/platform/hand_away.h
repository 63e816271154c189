// Which window the program hands the activation to when it gives it away:
// the user's window where it still takes it, else the front-most window of
// another program that the user works in, else the shell's.
#pragma once

#include "platform/types.h"
#include "platform/window_facts.h"

namespace quorvel::platform {

// Whether `window` can take the activation from the program: one the user
// can see and use, of another process, that takes the activation (not one
// that never does, an on-screen keyboard; not a click-through overlay; not a
// tool window), not cloaked.
bool TakesActivation(WindowFacts& facts, Hwnd window);

// `userWindow` (0 for none) where it still takes the activation; else the
// front-most top-level window that does and is someone's working window: on
// the virtual screen, titled, not the shell's taskbar; else the shell's
// desktop window, else the window titled "Program Manager", else the
// taskbar; 0 where there is none of them.
Hwnd NextWindowOfOtherProgram(WindowFacts& facts, Hwnd userWindow);

}  // namespace quorvel::platform
