// The turn the starts of a session take one at a time (DesktopShell::TakeTurn):
// a named mutex, made on first need, owned once however often it is taken.
#pragma once

#include "platform/win32/handles.h"

namespace quorvel::win32 {

inline constexpr const char* kTurnName = "Local\\Quorvel.Turn";

class Turn {
public:
    // Whether this process holds it now (see DesktopShell::TakeTurn).
    bool Take();
    void End();

private:
    KernelHandle mutex_;
    bool held_ = false;
};

}  // namespace quorvel::win32
