#include "platform/control_colours.h"

#include <algorithm>
#include <cmath>

#include "platform/constants.h"

namespace quorvel::platform {

namespace {

constexpr Colour kBlack = Rgb(0, 0, 0);
constexpr Colour kWhite = Rgb(255, 255, 255);

double Linear(std::uint32_t channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// What Windows draws a control of this kind with when its parent leaves the
// colours to the system. A read-only edit control asks as static text does
// and is drawn on the dialog's face ("WM_CTLCOLORSTATIC message"); one that
// takes typing asks WM_CTLCOLOREDIT and is drawn on the window colour
// ("WM_CTLCOLOREDIT message"). Push buttons are always drawn in the
// system's button colours ("WM_CTLCOLORBTN message"), option buttons on the
// face of the dialog they stand in. Text goes with the background it is
// made for: button text on the button face, window text on the window.
DrawnColours SystemColoursOf(const ControlDescription& control, const SystemColours& system) {
    if (control.kind == ControlKind::TextBox && !control.readOnly) {
        return {system.windowText, system.window};
    }
    return {system.buttonText, system.buttonFace};
}

}  // namespace

double RelativeLuminance(Colour colour) {
    return 0.2126 * Linear(colour & 0xFF) + 0.7152 * Linear(colour >> 8 & 0xFF) +
           0.0722 * Linear(colour >> 16 & 0xFF);
}

double ContrastRatio(Colour a, Colour b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

DrawnColours ControlColours(const ControlDescription& control, const ColourScheme& scheme) {
    const DrawnColours system = SystemColoursOf(control, scheme.system);
    // High contrast is the user's need to read: the system's colours win
    // over any of the description's own.
    if (scheme.highContrast || control.backColour == kDefaultColour) return system;
    // A background of the description's own is the same in every scheme,
    // and the system's text is made for the system's background: it stays
    // only where it can be read on this one, else black or white, whichever
    // stands out more (one of them always reaches 4.5:1).
    const Colour background = control.backColour;
    if (ContrastRatio(system.text, background) >= kReadableContrast) {
        return {system.text, background};
    }
    const bool black = ContrastRatio(kBlack, background) >= ContrastRatio(kWhite, background);
    return {black ? kBlack : kWhite, background};
}

bool SchemeChanged(std::uint32_t msg, std::uint32_t wParam) {
    switch (msg) {
        case WM_SYSCOLORCHANGE:  // "WM_SYSCOLORCHANGE message": no parameters
        case WM_THEMECHANGED:    // "WM_THEMECHANGED message": both reserved
            return true;
        case WM_SETTINGCHANGE:
            // "WM_SETTINGCHANGE message": wParam is SystemParametersInfo's
            // uiAction when it comes from a change of a setting; lParam only
            // names the area of the setting, and is not read.
            return wParam == SPI_SETHIGHCONTRAST;
        default:
            return false;
    }
}

}  // namespace quorvel::platform
