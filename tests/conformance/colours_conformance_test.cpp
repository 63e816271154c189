// The Configure dialog in the user's colours, against the simulated desktop
// (host) and the real backend (run under Wine, whose SetSysColors tells the
// windows and repaints them as Windows does): each new scheme reaches the
// option buttons and the About text, the brushes of the old ones go, and
// the messages that tell of a new scheme have the dialog painted again.
#include <gtest/gtest.h>

#include <memory>

#include "conformance/colour_schemes.h"
#include "conformance/dialog_target.h"
#include "platform/constants.h"
#include "platform/scope_exit.h"
#include "ui/form_controls.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {
namespace {

using platform::DrawnColours;

TEST(ColourConformance, EachNewSchemeReachesTheControlsAndTheOldBrushesGo) {
    std::unique_ptr<platform::Form> form =
        Dialogs().runtime().CreateForm(ConfigureDialogDescription(), {});
    platform::Form& dialog = *form;
    const ConfigureDialogControls controls(dialog);
    const platform::SystemColours users = Dialogs().CurrentColours();
    Dialogs().RunModal(dialog, [&] {
        // The user's own colours back, however the test ends.
        const platform::ScopeExit restore([&] { Dialogs().SetSystemColours(users); });
        const platform::SystemColours schemes[] = {kDarkScheme, kHighContrastBlack,
                                                   kHighContrastWhite, kDefaultScheme};
        for (int change = 1; change <= 10; ++change) {
            const platform::SystemColours& scheme = schemes[change % 4];
            SCOPED_TRACE(::testing::Message() << "change " << change);
            Dialogs().SetSystemColours(scheme);
            for (int i = 1; i <= 3; ++i) {
                EXPECT_EQ(Dialogs().DrawnWith(controls.ModeOption(i)),
                          (DrawnColours{scheme.buttonText, scheme.buttonFace}))
                    << "option " << i;
            }
            // High contrast is off (Wine never has it on): the light grey stays.
            const DrawnColours text = Dialogs().DrawnWith(controls.aboutText);
            EXPECT_EQ(text.background, kSilver);
            EXPECT_GE(platform::ContrastRatio(text.text, text.background),
                      platform::kReadableContrast);
            // One for each background of the scheme: the face and the light grey.
            EXPECT_EQ(Dialogs().BrushesHeld(), 2u);
        }
        dialog.Unload();
    });
}

TEST(ColourConformance, WhatTellsOfANewSchemeHasTheDialogPaintedAgain) {
    constexpr std::uint32_t SPI_SETDESKWALLPAPER = 0x0014;
    std::unique_ptr<platform::Form> form =
        Dialogs().runtime().CreateForm(ConfigureDialogDescription(), {});
    platform::Form& dialog = *form;
    const ConfigureDialogControls controls(dialog);
    const struct {
        std::uint32_t msg;
        std::uint32_t wParam;
        bool repainted;
    } cases[] = {
        {platform::WM_SYSCOLORCHANGE, 0, true},
        {platform::WM_SETTINGCHANGE, platform::SPI_SETHIGHCONTRAST, true},
        {platform::WM_THEMECHANGED, 0, true},
        {platform::WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, false},
    };
    Dialogs().RunModal(dialog, [&] {
        for (const auto& c : cases) {
            for (platform::Control* control : {&controls.ModeOption(1), &controls.okButton}) {
                EXPECT_EQ(Dialogs().RepaintAfter(c.msg, c.wParam, *control), c.repainted)
                    << std::hex << c.msg << " " << c.wParam << " " << control->Caption();
            }
        }
        dialog.Unload();
    });
}

}  // namespace
}  // namespace quorvel::testing
