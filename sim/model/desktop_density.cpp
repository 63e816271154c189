// Monitors of their own scale on the simulated desktop, and what Windows
// tells a per-monitor aware window that comes to a place of another density.
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/constants.h"
#include "platform/message_words.h"
#include "sim/model/desktop.h"

namespace quorvel::sim {

using platform::WM_DPICHANGED;
using platform::WM_GETDPISCALEDSIZE;

namespace {

long long Overlap(const Monitor& m, int x, int y, int width, int height) {
    const long long w = std::min(x + width, m.x + m.width) - std::max(x, m.x);
    const long long h = std::min(y + height, m.y + m.height) - std::max(y, m.y);
    return w > 0 && h > 0 ? w * h : 0;
}

// How far the rectangle lies from the monitor, 0 when they touch.
long long Distance(const Monitor& m, int x, int y, int width, int height) {
    const long long dx = std::max({0, m.x - (x + width), x - (m.x + m.width)});
    const long long dy = std::max({0, m.y - (y + height), y - (m.y + m.height)});
    return dx * dx + dy * dy;
}

int Scaled(int pixels, int to, int from) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * to / from));
}

}  // namespace

int Desktop::DensityAt(int x, int y, int width, int height) const {
    if (!display.perMonitorDensity || display.monitors.empty()) return display.pixelsPerInch;
    const Monitor* best = &display.monitors.front();
    long long bestOverlap = 0;
    long long bestDistance = LLONG_MAX;
    for (const Monitor& m : display.monitors) {
        const long long overlap = Overlap(m, x, y, width, height);
        const long long distance = Distance(m, x, y, width, height);
        if (overlap > bestOverlap ||
            (bestOverlap == 0 && overlap == 0 && distance < bestDistance)) {
            best = &m;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    return best->pixelsPerInch != 0 ? best->pixelsPerInch : display.pixelsPerInch;
}

void Desktop::DragWindow(Hwnd hwnd, int x, int y) {
    Window* w = Find(hwnd);
    if (w == nullptr) return;
    w->x = x;
    w->y = y;
    CheckDensity(hwnd);
}

void Desktop::SetMonitorDensity(std::size_t monitor, int density) {
    display.monitors.at(monitor).pixelsPerInch = density;
    std::vector<Hwnd> all;
    for (const auto& [hwnd, w] : windows_) all.push_back(hwnd);
    for (Hwnd hwnd : all) CheckDensity(hwnd);
}

void Desktop::CheckDensity(Hwnd hwnd) {
    Window* w = Find(hwnd);
    // The density is decided by where the window was moved, before it takes
    // its size there: a window that grows over the edge while it is told is
    // not told again.
    if (w == nullptr || densityChanging_.count(hwnd) != 0) return;
    const int density = DensityAt(w->x, w->y, w->width, w->height);
    if (density == w->pixelsPerInch) return;
    const int old = w->pixelsPerInch;
    w->pixelsPerInch = density;
    // Windows scales the window by the ratio of the densities unless the
    // window answers WM_GETDPISCALEDSIZE with a size of its own: `suggested`
    // is the SIZE its lParam points to, filled with the scaled size, and then
    // WM_DPICHANGED's RECT. WM_GETDPISCALEDSIZE's wParam is the density
    // itself; WM_DPICHANGED's has X in the low word and Y in the high word.
    const Window::Area linear{w->x, w->y, Scaled(w->width, density, old),
                              Scaled(w->height, density, old)};
    w->suggested = linear;
    const auto dpi = static_cast<std::uint32_t>(density);
    densityChanging_.insert(hwnd);
    const bool sized = Send(hwnd, WM_GETDPISCALEDSIZE, dpi) != 0;
    if (Window* asked = Find(hwnd)) {
        asked->sizedItself = sized;
        if (!sized) asked->suggested = linear;  // FALSE: what it wrote does not count
    }
    Send(hwnd, WM_DPICHANGED, platform::MakeLong(density, density));
    densityChanging_.erase(hwnd);
}

}  // namespace quorvel::sim
