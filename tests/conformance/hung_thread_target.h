// The foreground asked for a window whose thread is not reading its
// messages, for the conformance tests: the simulated desktop's hung desktop
// on the host, a thread of this process's under Wine.
#pragma once

#include "platform/types.h"

namespace quorvel::testing {

class HungThreadTarget {
public:
    virtual ~HungThreadTarget() = default;
    // A shown window of a thread that can stop reading its messages.
    virtual platform::Hwnd HangingWindow() = 0;
    // A shown window of another thread.
    virtual platform::Hwnd OtherWindow() = 0;
    virtual void Hang(bool hung) = 0;
    // SetForegroundWindow, by a program free to set it.
    virtual void SetForeground(platform::Hwnd window) = 0;
    // The foreground window (0 for none) once what was pending is handled.
    virtual platform::Hwnd Foreground() = 0;
};

// Made on first need; ended after the tests that use it, its windows and
// threads with it.
HungThreadTarget& HungThreads();
void EndHungThreads();

}  // namespace quorvel::testing
