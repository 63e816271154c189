// The notification area the conformance tests run against: the simulated
// shell on the host, Wine's under Wine.
#pragma once

#include <cstdint>

#include "platform/winapi.h"

namespace quorvel::testing {

class TrayTarget {
public:
    virtual ~TrayTarget() = default;
    virtual platform::WinApi& api() = 0;
    // A window of this process for icons to belong to, and an icon handle.
    virtual platform::Hwnd Window() = 0;
    virtual platform::Hicon Icon() = 0;
};

TrayTarget& Tray();

}  // namespace quorvel::testing
