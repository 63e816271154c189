// Windows of another program, of each kind the program's window rules tell
// apart, and the facts of them as the program asks: on the host, the
// simulated desktop's; under Wine, real windows of a helper process.
#pragma once

#include "platform/types.h"
#include "platform/window_facts.h"

namespace quorvel::testing {

enum class Kind {
    Plain,          // titled, shown, with a minimise button, on the screen
    Untitled,       // as Plain, with no title
    Tool,           // WS_EX_TOOLWINDOW
    Owned,          // owned by the Hidden one
    Disabled,       // WS_DISABLED
    NoMinimiseBox,  // a caption and a window menu, no minimise button
    Minimised,
    Hidden,
    Cloaked,      // DWMWA_CLOAK: made only where the window system cloaks
    OffScreen,    // left of the virtual screen
    NoActivate,   // WS_EX_NOACTIVATE
    Transparent,  // WS_EX_TRANSPARENT
    Taskbar,      // titled and shown, of the class "Shell_TrayWnd"
    Instance,     // the running instance's application window: its class, never shown
};

class WindowRulesTarget {
public:
    virtual ~WindowRulesTarget() = default;
    // The facts as this process asks them.
    virtual platform::WindowFacts& facts() = 0;
    // The other program's window of that kind; 0 where it cannot be made.
    virtual platform::Hwnd Window(Kind kind) = 0;
    // A window of this process: a plain one, or of the application class.
    virtual platform::Hwnd OwnWindow(Kind kind) = 0;
    // In front of every other top-level window that is not topmost, not
    // activated: whether it is there now (a hidden window, behind every
    // shown one, is wherever it was put).
    virtual bool ToFront(platform::Hwnd window) = 0;
};

// Made on first need; ended after the tests that use it: under Wine the
// other program's window of the taskbar's class would take the notification
// area's messages from Wine's own taskbar (Shell_NotifyIcon finds it by its
// class).
WindowRulesTarget& WindowRules();
void EndWindowRules();

}  // namespace quorvel::testing
