// Colour schemes for the tests of both backends, by the GetSysColor entries
// the controls are drawn with.
#pragma once

#include <ostream>

#include "platform/control_colours.h"

namespace quorvel::platform {

// How a test's failure shows colours: text on background, each 0x00BBGGRR.
inline void PrintTo(const DrawnColours& drawn, std::ostream* out) {
    *out << std::hex << "text " << drawn.text << " on " << drawn.background << std::dec;
}

}  // namespace quorvel::platform

namespace quorvel::testing {

using platform::Rgb;

// Windows 10's default: black on a light grey face, white where one types.
inline constexpr platform::SystemColours kDefaultScheme{Rgb(240, 240, 240), Rgb(0, 0, 0),
                                                        Rgb(255, 255, 255), Rgb(0, 0, 0)};
// A dark scheme of the user's own, without high contrast: light text on dark greys.
inline constexpr platform::SystemColours kDarkScheme{Rgb(32, 32, 32), Rgb(230, 230, 230),
                                                     Rgb(25, 25, 25), Rgb(255, 255, 255)};
// Windows' High Contrast Black and High Contrast White.
inline constexpr platform::SystemColours kHighContrastBlack{Rgb(0, 0, 0), Rgb(255, 255, 255),
                                                            Rgb(0, 0, 0), Rgb(255, 255, 255)};
inline constexpr platform::SystemColours kHighContrastWhite{Rgb(255, 255, 255), Rgb(0, 0, 0),
                                                            Rgb(255, 255, 255), Rgb(0, 0, 0)};

// The About text's own background, light grey.
inline constexpr platform::Colour kSilver = Rgb(192, 192, 192);

}  // namespace quorvel::testing
