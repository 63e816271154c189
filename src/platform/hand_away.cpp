#include "platform/hand_away.h"

#include "platform/constants.h"

namespace quorvel::platform {

namespace {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace

bool TakesActivation(WindowFacts& facts, Hwnd window) {
    // The style first: it alone settles most windows (hidden ones).
    if ((facts.Style(window) & (WS_VISIBLE | WS_MINIMIZE | WS_DISABLED)) != WS_VISIBLE) {
        return false;
    }
    if (facts.ProcessOf(window) == facts.OwnProcess()) return false;
    if (facts.ExtendedStyle(window) & (WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW)) {
        return false;
    }
    return !facts.Cloaked(window);
}

Hwnd NextWindowOfOtherProgram(WindowFacts& facts, Hwnd userWindow) {
    // First the window the user was working in when the program took the
    // foreground, where it still is.
    if (userWindow != 0 && facts.Exists(userWindow) && TakesActivation(facts, userWindow)) {
        return userWindow;
    }
    const ScreenRect screen = facts.VirtualScreen();
    // An always-on-top window is above the user's working one whatever was
    // used last (a clock, a player): taken only where nothing else is.
    for (const bool topmost : {false, true}) {
        for (Hwnd window : facts.TopLevelWindows()) {
            if (!TakesActivation(facts, window)) continue;
            if (((facts.ExtendedStyle(window) & WS_EX_TOPMOST) != 0) != topmost) continue;
            // Off the screen is nobody's working window (another instance's
            // taskbar form, say, whose activation would be a click).
            const ScreenRect place = facts.Place(window);
            if (place.right <= screen.left || place.bottom <= screen.top) continue;
            // Nor is a window without a title, or the shell's taskbar: the
            // shell may make its taskbar in a process of its own.
            if (facts.TitleLength(window) == 0) continue;
            if (SameTextIgnoringCase(facts.ClassOf(window), "Shell_TrayWnd")) continue;
            return window;
        }
    }
    // Nothing of the user's is open: the shell's desktop window, else its taskbar.
    if (Hwnd shell = facts.ShellWindow()) return shell;
    if (Hwnd shell = facts.WindowTitled("Program Manager")) return shell;
    const std::vector<Hwnd> taskbars = facts.TopLevelWindows("Shell_TrayWnd");
    return taskbars.empty() ? 0 : taskbars.front();
}

}  // namespace quorvel::platform
