#include "sim/backend/sim_window_facts.h"

#include <algorithm>

#include "platform/constants.h"
#include "sim/model/ansi.h"

namespace quorvel::sim {

using namespace platform;

std::vector<Hwnd> SimWindowFacts::TopLevelWindows(std::string_view className) {
    std::vector<Hwnd> found;
    for (Hwnd hwnd : desk_.ZOrder()) {
        // Class names are compared ignoring case, as FindWindowExA does.
        if (className.empty() ||
            Lower(desk_.Find(hwnd)->className) == Lower(std::string(className)))
            found.push_back(hwnd);
    }
    return found;
}

Hwnd SimWindowFacts::WindowTitled(std::string_view title) {
    for (Hwnd hwnd : desk_.ZOrder()) {
        if (Lower(desk_.Find(hwnd)->title) == Lower(std::string(title))) return hwnd;
    }
    return 0;
}

ScreenRect SimWindowFacts::VirtualScreen() {
    const auto& monitors = desk_.display.monitors;
    ScreenRect screen{monitors.front().x, monitors.front().y,
                      monitors.front().x + monitors.front().width,
                      monitors.front().y + monitors.front().height};
    for (const Monitor& m : monitors) {
        screen.left = std::min(screen.left, m.x);
        screen.top = std::min(screen.top, m.y);
        screen.right = std::max(screen.right, m.x + m.width);
        screen.bottom = std::max(screen.bottom, m.y + m.height);
    }
    return screen;
}

std::uint32_t SimWindowFacts::Style(Hwnd window) {
    const Window* w = desk_.Find(window);
    if (w == nullptr) return 0;
    return (w->visible ? WS_VISIBLE : 0) | (w->minimised ? WS_MINIMIZE : 0) |
           (w->enabled ? 0 : WS_DISABLED) | (w->minimiseBox ? WS_MINIMIZEBOX : 0);
}

std::uint32_t SimWindowFacts::ExtendedStyle(Hwnd window) {
    const Window* w = desk_.Find(window);
    if (w == nullptr) return 0;
    return (w->toolWindow ? WS_EX_TOOLWINDOW : 0) | (w->noActivate ? WS_EX_NOACTIVATE : 0) |
           (w->transparent ? WS_EX_TRANSPARENT : 0) | (w->topmost ? WS_EX_TOPMOST : 0);
}

Hwnd SimWindowFacts::Owner(Hwnd window) {
    const Window* w = desk_.Find(window);
    return w == nullptr ? 0 : w->owner;
}

std::uint32_t SimWindowFacts::ProcessOf(Hwnd window) {
    const Window* w = desk_.Find(window);
    return w == nullptr ? 0 : static_cast<std::uint32_t>(w->pid);
}

std::string SimWindowFacts::ClassOf(Hwnd window) {
    const Window* w = desk_.Find(window);
    return w == nullptr ? std::string() : w->className;
}

int SimWindowFacts::TitleLength(Hwnd window) {
    const Window* w = desk_.Find(window);
    return w == nullptr ? 0 : static_cast<int>(w->title.size());
}

ScreenRect SimWindowFacts::Place(Hwnd window) {
    const Window* w = desk_.Find(window);
    if (w == nullptr) return {};
    return {w->x, w->y, w->x + w->width, w->y + w->height};
}

bool SimWindowFacts::Cloaked(Hwnd window) {
    const Window* w = desk_.Find(window);
    return w != nullptr && w->cloaked;
}

}  // namespace quorvel::sim
