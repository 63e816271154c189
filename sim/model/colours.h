// The simulated desktop's colours: the system's colours and the
// high-contrast flag, the calls that change them and tell the windows as
// Windows tells them, the brushes programs make, and what each control of a
// window was drawn with when it was last painted.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/control_colours.h"
#include "platform/types.h"

namespace quorvel::sim {

class Desktop;

// Windows 10's default colours (its "Windows" scheme): black text on a
// light grey face, and on white where one types.
inline constexpr platform::SystemColours kDefaultSystemColours{
    platform::Rgb(240, 240, 240), platform::Rgb(0, 0, 0), platform::Rgb(255, 255, 255),
    platform::Rgb(0, 0, 0)};

class Colours {
public:
    explicit Colours(Desktop& desk) : desk_(desk) {}
    Colours(const Colours&) = delete;
    Colours& operator=(const Colours&) = delete;

    // --- the scheme ---
    // What GetSysColor answers, and SystemParametersInfo(SPI_GETHIGHCONTRAST)'s
    // HCF_HIGHCONTRASTON.
    const platform::SystemColours& system() const { return system_; }
    bool highContrast() const { return highContrast_; }
    // SetSysColors ("SetSysColors function"): WM_SYSCOLORCHANGE sent to
    // every top-level window ("WM_SYSCOLORCHANGE message", no parameters),
    // then every visible one repainted.
    void SetSysColors(const platform::SystemColours& colours);
    // SystemParametersInfo(SPI_SETHIGHCONTRAST) with SPIF_SENDCHANGE:
    // WM_SETTINGCHANGE sent to every top-level window, wParam the setting
    // ("WM_SETTINGCHANGE message"; its lParam names the setting's area, a
    // pointer this desktop does not carry: 0). The flag alone repaints
    // nothing.
    void SetHighContrast(bool on);
    // A new visual style: WM_THEMECHANGED to every window ("WM_THEMECHANGED
    // message", both parameters reserved: 0); here only top-level windows
    // have procedures.
    void ChangeTheme();
    // The user turns a high-contrast theme on (or back off): its colours,
    // the flag and its visual style, each told as above.
    void ChooseHighContrastTheme(bool on, const platform::SystemColours& colours);

    // --- brushes ---
    // CreateSolidBrush and DeleteObject ("CreateSolidBrush function": the
    // brush stays until DeleteObject); false for no live brush.
    std::uint32_t CreateSolidBrush(platform::Colour colour);
    bool DeleteObject(std::uint32_t brush);
    std::size_t LiveBrushes() const { return brushes_.size(); }
    // The colour of a live brush; none for a brush deleted or never made.
    std::optional<platform::Colour> BrushColour(std::uint32_t brush) const;

    // --- painting ---
    // RedrawWindow with RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN: the
    // window and its controls are painted again, by one WM_PAINT once the
    // messages before it are handled ("WM_PAINT message": sent while the
    // window has an update region and its queue has nothing else).
    void RedrawWindow(platform::Hwnd hwnd);
    // Whether the window waits for that WM_PAINT (GetUpdateRect's answer).
    bool Invalid(platform::Hwnd hwnd) const { return invalid_.count(hwnd) != 0; }
    // A window's program drew a control (by its name and index) in these
    // colours; what it last drew it with, none if it never did.
    void Drew(platform::Hwnd hwnd, const std::string& control, int index,
              platform::DrawnColours colours);
    std::optional<platform::DrawnColours> DrawnWith(platform::Hwnd hwnd, std::string_view control,
                                                    int index) const;

private:
    // Sends a message to every top-level window as Windows broadcasts it;
    // `repaint`: then paints again every visible one. What they posted runs.
    void Broadcast(std::uint32_t msg, std::uint32_t wParam, bool repaint = false);

    Desktop& desk_;
    platform::SystemColours system_ = kDefaultSystemColours;
    bool highContrast_ = false;
    std::map<std::uint32_t, platform::Colour> brushes_;
    std::uint32_t nextBrush_ = 0x1B100010;
    std::set<platform::Hwnd> invalid_;
    std::map<std::tuple<platform::Hwnd, std::string, int>, platform::DrawnColours> drawn_;
};

}  // namespace quorvel::sim
