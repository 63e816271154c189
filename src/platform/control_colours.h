// The colours a control is drawn with, written once for both backends: from
// its description, the system's colours and whether high contrast is on;
// and which messages tell a window that these have changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/form_description.h"

namespace quorvel::platform {

// A colour as GDI takes it (COLORREF): 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return red | green << 8 | static_cast<Colour>(blue) << 16;
}

// The entries of GetSysColor ("GetSysColor function") the controls are
// drawn with. A control that shows no text of its own (a frame, a panel)
// is painted with its class's brush, which follows the system by itself.
struct SystemColours {
    Colour buttonFace = 0;  // COLOR_BTNFACE: dialogs, buttons, static text
    Colour buttonText = 0;  // COLOR_BTNTEXT: text on buttonFace
    Colour window = 0;      // COLOR_WINDOW: what an edit control is typed into
    Colour windowText = 0;  // COLOR_WINDOWTEXT: text on window
    bool operator==(const SystemColours&) const = default;
};

// The system's colours and whether the user has high contrast on
// (SPI_GETHIGHCONTRAST's HCF_HIGHCONTRASTON, "HIGHCONTRAST structure").
struct ColourScheme {
    SystemColours system;
    bool highContrast = false;
    bool operator==(const ColourScheme&) const = default;
};

struct DrawnColours {
    Colour text = 0;
    Colour background = 0;
    bool operator==(const DrawnColours&) const = default;
};

// What text needs to be read: WCAG 2's contrast ratio for normal text.
inline constexpr double kReadableContrast = 4.5;

// WCAG 2's relative luminance of an sRGB colour, 0 (black) to 1 (white).
double RelativeLuminance(Colour colour);
// WCAG 2's contrast ratio of two colours: 1 (the same) to 21 (black and white).
double ContrastRatio(Colour a, Colour b);

// The text and background `control` is drawn with in `scheme`.
DrawnColours ControlColours(const ControlDescription& control, const ColourScheme& scheme);

// Whether a message to a top-level window says that what ControlColours
// answers may have changed: new system colours, high contrast turned on or
// off, a new visual style.
bool SchemeChanged(std::uint32_t msg, std::uint32_t wParam);

// What a form draws its controls with: the scheme, read once until a
// message says it changed, and a brush for each background in it, made on
// first need. The brushes are the form's to free ("WM_CTLCOLORSTATIC
// message"), and those of old colours are freed when they change
// ("WM_SYSCOLORCHANGE message"), so a form holds one per background of the
// scheme in force and no more. `Brush` owns one brush (Owned<...>).
template <typename Brush>
class ControlPaint {
public:
    using Handle = decltype(std::declval<const Brush&>().get());

    // `control`'s colours, and the brush of its background (none where
    // making it failed). `read` gives the scheme in force; `make` a brush of
    // a colour.
    template <typename Read, typename Make>
    std::pair<DrawnColours, Handle> For(const ControlDescription& control, Read read, Make make) {
        if (!read_) {
            scheme_ = read();
            read_ = true;
        }
        const DrawnColours drawn = ControlColours(control, scheme_);
        for (const auto& [colour, brush] : brushes_) {
            if (colour == drawn.background) return {drawn, brush.get()};
        }
        Brush brush = make(drawn.background);
        if (!brush) return {drawn, Handle{}};
        brushes_.emplace_back(drawn.background, std::move(brush));
        return {drawn, brushes_.back().second.get()};
    }

    // A message to the form's window: true when it says the scheme changed,
    // and then the scheme is read again and the brushes are gone; the form
    // has to be painted again.
    bool Told(std::uint32_t msg, std::uint32_t wParam) {
        if (!SchemeChanged(msg, wParam)) return false;
        read_ = false;
        brushes_.clear();
        return true;
    }

    std::size_t Brushes() const { return brushes_.size(); }

private:
    bool read_ = false;
    ColourScheme scheme_;
    std::vector<std::pair<Colour, Brush>> brushes_;
};

}  // namespace quorvel::platform
