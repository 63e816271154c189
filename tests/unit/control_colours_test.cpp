// The colour rule: what each control of the Configure dialog is drawn with
// in each scheme, readable text on any background of a description's own,
// the contrast measure, and which messages mean a new scheme.
#include <gtest/gtest.h>

#include <string>

#include "conformance/colour_schemes.h"
#include "platform/constants.h"
#include "platform/control_colours.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {
namespace {

using platform::ColourScheme;
using platform::ContrastRatio;
using platform::ControlColours;
using platform::ControlDescription;
using platform::DrawnColours;

constexpr platform::Colour kBlack = Rgb(0, 0, 0);
constexpr platform::Colour kWhite = Rgb(255, 255, 255);

ControlDescription DialogControl(const std::string& name, int index = 0) {
    for (const ControlDescription& c : ConfigureDialogDescription().controls) {
        if (c.name == name && c.index == index) return c;
    }
    throw std::logic_error("no control " + name);
}

TEST(ControlColoursTest, EachControlOfTheDialogInEachScheme) {
    const ControlDescription label = DialogControl("Label1");
    const ControlDescription option = DialogControl("Option1", 2);
    const ControlDescription button = DialogControl("Command2");
    ControlDescription typedInto = label;  // a text box that takes typing, of no colour of its own
    typedInto.readOnly = false;
    typedInto.backColour = platform::kDefaultColour;
    const ColourScheme normal{kDefaultScheme, false};
    const ColourScheme dark{kDarkScheme, false};
    const ColourScheme black{kHighContrastBlack, true};
    const ColourScheme white{kHighContrastWhite, true};
    // High contrast's colours without its flag: what Wine shows.
    const ColourScheme blackColoursOnly{kHighContrastBlack, false};
    const struct {
        const char* what;
        const ControlDescription& control;
        ColourScheme scheme;
        DrawnColours drawn;
    } cases[] = {
        {"the About text, default", label, normal, {kBlack, kSilver}},
        {"an option, default", option, normal, {kBlack, Rgb(240, 240, 240)}},
        {"a push button, default", button, normal, {kBlack, Rgb(240, 240, 240)}},
        // The system's light text would not stand out on the light grey.
        {"the About text, dark", label, dark, {kBlack, kSilver}},
        {"an option, dark", option, dark, {Rgb(230, 230, 230), Rgb(32, 32, 32)}},
        {"a push button, dark", button, dark, {Rgb(230, 230, 230), Rgb(32, 32, 32)}},
        {"a text box for typing, dark", typedInto, dark, {kWhite, Rgb(25, 25, 25)}},
        // Under high contrast the system's colours win over the light grey.
        {"the About text, high contrast black", label, black, {kWhite, kBlack}},
        {"an option, high contrast black", option, black, {kWhite, kBlack}},
        {"a push button, high contrast black", button, black, {kWhite, kBlack}},
        {"the About text, high contrast white", label, white, {kBlack, kWhite}},
        {"an option, high contrast white", option, white, {kBlack, kWhite}},
        {"a push button, high contrast white", button, white, {kBlack, kWhite}},
        {"the About text, black colours, no flag", label, blackColoursOnly, {kBlack, kSilver}},
        {"an option, black colours, no flag", option, blackColoursOnly, {kWhite, kBlack}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DrawnColours drawn = ControlColours(c.control, c.scheme);
        EXPECT_EQ(drawn.text, c.drawn.text);
        EXPECT_EQ(drawn.background, c.drawn.background);
        EXPECT_GE(ContrastRatio(drawn.text, drawn.background), platform::kReadableContrast);
    }
}

TEST(ControlColoursTest, AnyBackgroundOfTheDescriptionsOwnGetsTextThatStandsOut) {
    ControlDescription label = DialogControl("Label1");
    for (platform::Colour systemText : {kBlack, kWhite, Rgb(128, 128, 128), Rgb(255, 255, 0)}) {
        const ColourScheme scheme{{kDefaultScheme.buttonFace, systemText, kDefaultScheme.window,
                                   kDefaultScheme.windowText},
                                  false};
        for (int r = 0; r <= 255; r += 17) {
            for (int g = 0; g <= 255; g += 17) {
                for (int b = 0; b <= 255; b += 17) {
                    label.backColour = Rgb(r, g, b);
                    const DrawnColours drawn = ControlColours(label, scheme);
                    ASSERT_EQ(drawn.background, label.backColour);
                    ASSERT_GE(ContrastRatio(drawn.text, drawn.background),
                              platform::kReadableContrast)
                        << std::hex << "text " << drawn.text << " on " << drawn.background;
                }
            }
        }
    }
}

TEST(ControlColoursTest, ContrastIsWcagTwosRatio) {
    EXPECT_DOUBLE_EQ(ContrastRatio(kBlack, kWhite), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(kWhite, kBlack), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(kSilver, kSilver), 1.0);
    // The greys either side of 4.5:1 on white, as WCAG's formula gives them.
    EXPECT_NEAR(ContrastRatio(Rgb(0x76, 0x76, 0x76), kWhite), 4.54, 0.005);
    EXPECT_NEAR(ContrastRatio(Rgb(0x77, 0x77, 0x77), kWhite), 4.48, 0.005);
    // Green counts most, blue least.
    EXPECT_GT(ContrastRatio(Rgb(0, 255, 0), kBlack), ContrastRatio(Rgb(255, 0, 0), kBlack));
    EXPECT_GT(ContrastRatio(Rgb(255, 0, 0), kBlack), ContrastRatio(Rgb(0, 0, 255), kBlack));
}

TEST(ControlColoursTest, NewColoursAHighContrastChangeAndANewStyleMeanANewScheme) {
    constexpr std::uint32_t SPI_SETDESKWALLPAPER = 0x0014;
    const struct {
        std::uint32_t msg;
        std::uint32_t wParam;
        bool changed;
    } cases[] = {
        {platform::WM_SYSCOLORCHANGE, 0, true},
        {platform::WM_THEMECHANGED, 0, true},
        {platform::WM_SETTINGCHANGE, platform::SPI_SETHIGHCONTRAST, true},
        // Another setting, or a change of WIN.INI's kind (wParam 0).
        {platform::WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, false},
        {platform::WM_SETTINGCHANGE, 0, false},
        {platform::WM_PAINT, 0, false},
        {platform::WM_PAINT, platform::SPI_SETHIGHCONTRAST, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::SchemeChanged(c.msg, c.wParam), c.changed)
            << std::hex << c.msg << " " << c.wParam;
    }
}

}  // namespace
}  // namespace quorvel::testing
