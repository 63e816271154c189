// What the program's rules about other programs' windows read of them: one
// question a fact, answered by the window system as it stands. The rules ask
// lazily, the cheapest fact first: under Wine each look at another
// program's window is a round trip to its server, and most windows (hidden
// ones) are done with after the first (a top-level window's style alone says
// whether it is visible, minimised or disabled).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace quorvel::platform {

// A window's rectangle, or the virtual screen's, in screen pixels.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class WindowFacts {
public:
    virtual ~WindowFacts() = default;

    // The top-level windows, front to back (EnumWindows); only those of the
    // class `className` where one is given (FindWindowExA with no parent).
    // Message-only windows are not top-level.
    virtual std::vector<Hwnd> TopLevelWindows(std::string_view className = {}) = 0;
    // The first top-level window titled `title`, ignoring case (FindWindowA
    // with no class), 0 for none.
    virtual Hwnd WindowTitled(std::string_view title) = 0;
    // The shell's desktop window where the shell registered one
    // (GetShellWindow), else 0.
    virtual Hwnd ShellWindow() = 0;
    // The virtual screen: every monitor's rectangle together.
    virtual ScreenRect VirtualScreen() = 0;
    // The process that asks (GetCurrentProcessId).
    virtual std::uint32_t OwnProcess() = 0;

    // Of one window. A window that is gone answers 0, empty, false.
    virtual bool Exists(Hwnd window) = 0;                  // IsWindow
    virtual std::uint32_t Style(Hwnd window) = 0;          // GWL_STYLE
    virtual std::uint32_t ExtendedStyle(Hwnd window) = 0;  // GWL_EXSTYLE
    virtual Hwnd Owner(Hwnd window) = 0;                   // GW_OWNER
    virtual std::uint32_t ProcessOf(Hwnd window) = 0;      // GetWindowThreadProcessId
    virtual std::uint32_t ThreadOf(Hwnd window) = 0;
    virtual std::string ClassOf(Hwnd window) = 0;  // GetClassNameA
    virtual int TitleLength(Hwnd window) = 0;      // GetWindowTextLengthA
    virtual ScreenRect Place(Hwnd window) = 0;     // GetWindowRect
    // On another virtual desktop, or a suspended app's frame: visible, yet
    // not seen (DWMWA_CLOAKED, Windows 8 and later; nothing is elsewhere).
    virtual bool Cloaked(Hwnd window) = 0;
};

}  // namespace quorvel::platform
