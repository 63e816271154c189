// What a form laid out at a density looks like, for the tests of both
// backends: every control's window where its twips put it at that density,
// inside its container (none clipped), its text in the 8-point dialog font
// of that density, and the icon's picture a third of an inch.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/form.h"
#include "platform/twips.h"
#include "platform/windowed_form.h"

namespace quorvel::testing {

// LOGFONT's height of 8 points, and the side of the icon's picture, at each density.
inline const std::map<int, int> kFontHeight{{96, -11}, {120, -13}, {144, -16}, {192, -21}};
inline const std::map<int, int> kIconPixels{{96, 32}, {120, 40}, {144, 48}, {192, 64}};

// How a backend shows a control's window: its place in its container, in
// pixels (none for a control drawn on its form, which the real backend's
// windows cannot show), and the height of the font it was given.
struct LaidOut {
    std::function<std::optional<platform::ClientArea>(platform::Control&)> place;
    std::function<int(platform::Control&)> fontHeight;
};

inline bool HasWindow(const platform::ControlDescription& c) {
    using platform::ControlKind;
    return c.kind != ControlKind::Timer && c.kind != ControlKind::Menu &&
           c.kind != ControlKind::MenuItem && c.kind != ControlKind::FileListBox;
}

// `clientWidth` and `clientHeight`: the form's client area, in pixels.
inline void ExpectLaidOutAt(platform::Form& form, const LaidOut& shown, int clientWidth,
                            int clientHeight, int dpi) {
    using platform::TwipsToPixels;
    SCOPED_TRACE(::testing::Message() << dpi << " dpi");
    EXPECT_EQ(form.PixelsPerInch(), dpi);
    for (const auto& control : form.controls()) {
        const platform::ControlDescription& c = control->description();
        if (!HasWindow(c)) continue;
        SCOPED_TRACE(c.name + "(" + std::to_string(c.index) + ")");
        const std::optional<platform::ClientArea> shownAt = shown.place(*control);
        if (!shownAt) continue;
        const platform::ClientArea at = *shownAt;
        const int x = TwipsToPixels(c.rect.left, dpi);
        const int y = TwipsToPixels(c.rect.top, dpi);
        EXPECT_EQ(at.x, x);
        EXPECT_EQ(at.y, y);
        EXPECT_EQ(at.width, TwipsToPixels(c.rect.left + c.rect.width, dpi) - x);
        EXPECT_EQ(at.height, TwipsToPixels(c.rect.top + c.rect.height, dpi) - y);
        int roomX = clientWidth, roomY = clientHeight;
        if (!c.container.empty()) {
            const platform::ClientArea box = shown.place(form.control(c.container)).value();
            roomX = box.width;
            roomY = box.height;
        }
        EXPECT_GE(at.x, 0);
        EXPECT_GE(at.y, 0);
        EXPECT_LE(at.x + at.width, roomX);
        EXPECT_LE(at.y + at.height, roomY);
        if (c.kind == platform::ControlKind::Image) {
            EXPECT_EQ(at.width, kIconPixels.at(dpi));
        }
        if (c.kind == platform::ControlKind::CommandButton ||
            c.kind == platform::ControlKind::OptionButton) {
            EXPECT_EQ(shown.fontHeight(*control), kFontHeight.at(dpi));
        }
    }
}

}  // namespace quorvel::testing
