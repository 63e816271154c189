#include "sim/model/colours.h"

#include <vector>

#include "platform/constants.h"
#include "sim/model/desktop.h"

namespace quorvel::sim {

using platform::Hwnd;

void Colours::Broadcast(std::uint32_t msg, std::uint32_t wParam, bool repaint) {
    // The windows there when the change is told: one may go meanwhile.
    const std::vector<Hwnd> windows = desk_.ZOrder();
    desk_.Drive([&] {
        for (Hwnd hwnd : windows) desk_.Send(hwnd, msg, wParam);
        for (Hwnd hwnd : windows) {
            const Window* w = desk_.Find(hwnd);
            if (repaint && w != nullptr && w->visible) RedrawWindow(hwnd);
        }
        desk_.RunPending();
    });
}

void Colours::SetSysColors(const platform::SystemColours& colours) {
    system_ = colours;
    Broadcast(platform::WM_SYSCOLORCHANGE, 0, true);
}

void Colours::SetHighContrast(bool on) {
    highContrast_ = on;
    Broadcast(platform::WM_SETTINGCHANGE, platform::SPI_SETHIGHCONTRAST);
}

void Colours::ChangeTheme() {
    Broadcast(platform::WM_THEMECHANGED, 0);
}

void Colours::ChooseHighContrastTheme(bool on, const platform::SystemColours& colours) {
    SetSysColors(colours);
    SetHighContrast(on);
    ChangeTheme();
}

std::uint32_t Colours::CreateSolidBrush(platform::Colour colour) {
    const std::uint32_t brush = nextBrush_++;
    brushes_[brush] = colour;
    return brush;
}

bool Colours::DeleteObject(std::uint32_t brush) {
    return brushes_.erase(brush) != 0;
}

std::optional<platform::Colour> Colours::BrushColour(std::uint32_t brush) const {
    auto it = brushes_.find(brush);
    if (it == brushes_.end()) return std::nullopt;
    return it->second;
}

void Colours::RedrawWindow(Hwnd hwnd) {
    if (desk_.Find(hwnd) == nullptr || !invalid_.insert(hwnd).second) return;
    desk_.Post([this, hwnd] {
        invalid_.erase(hwnd);
        desk_.Send(hwnd, platform::WM_PAINT);
    });
}

void Colours::Drew(Hwnd hwnd, const std::string& control, int index,
                   platform::DrawnColours colours) {
    drawn_[{hwnd, control, index}] = colours;
}

std::optional<platform::DrawnColours> Colours::DrawnWith(Hwnd hwnd, std::string_view control,
                                                         int index) const {
    auto it = drawn_.find({hwnd, std::string(control), index});
    if (it == drawn_.end()) return std::nullopt;
    return it->second;
}

}  // namespace quorvel::sim
