// Top-level windows the conformance tests place and hide: the simulated
// desktop's on the host, Wine's under Wine.
#pragma once

#include <vector>

#include "platform/winapi.h"

namespace quorvel::testing {

class WindowTarget {
public:
    virtual ~WindowTarget() = default;
    virtual platform::WinApi& api() = 0;
    // A new top-level window of this process, not activated; shown unless `hidden`.
    virtual platform::Hwnd NewWindow(bool hidden = false) = 0;
    virtual bool Visible(platform::Hwnd hwnd) = 0;
    // Whether it is this process's active window.
    virtual bool Active(platform::Hwnd hwnd) = 0;
    // Where the window stands among this process's top-level windows, 0 in front.
    virtual int Place(platform::Hwnd hwnd) = 0;
    virtual void Destroy(platform::Hwnd hwnd) = 0;
};

WindowTarget& Windows();

}  // namespace quorvel::testing
