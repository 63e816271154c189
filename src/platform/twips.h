// Twips are 1/1440 inch: 15 to the pixel on a screen of 96 pixels per inch,
// 10 at 144. Geometry follows the real density of the place a window is, so
// that it grows with the fonts, which do.
#pragma once

#include <cmath>

namespace quorvel::platform {

inline constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixels(double twips, int pixelsPerInch) {
    return static_cast<int>(std::lround(twips * pixelsPerInch / kTwipsPerInch));
}
inline double PixelsToTwips(int pixels, int pixelsPerInch) {
    return static_cast<double>(pixels) * kTwipsPerInch / pixelsPerInch;
}

}  // namespace quorvel::platform
