// The Configure dialog under high contrast, on the simulated desktop (Wine
// never turns the flag on): the system's colours win over the About text's
// light grey while it is on, the flag alone has the dialog painted again,
// and a closed dialog leaves no brush behind. Every caption stays readable.
#include "conformance/colour_schemes.h"
#include "platform/constants.h"
#include "ui/form_controls.h"
#include "unit/sim_fixture.h"

namespace quorvel::testing {
namespace {

using platform::DrawnColours;
using sim::ClickControl;
using sim::PressKey;

constexpr DrawnColours kBlackOnGrey{Rgb(0, 0, 0), kSilver};
constexpr DrawnColours kWhiteOnBlack{Rgb(255, 255, 255), Rgb(0, 0, 0)};
constexpr DrawnColours kBlackOnWhite{Rgb(0, 0, 0), Rgb(255, 255, 255)};

class ColoursTest : public SimTest {
protected:
    DrawnColours Drawn(platform::Form& dialog, const platform::Control& control) {
        const auto drawn = desk.colours.DrawnWith(dialog.hWnd(), control.description().name,
                                                  control.description().index);
        if (!drawn) throw std::logic_error("never drawn: " + control.description().name);
        return *drawn;
    }
    // Every control with a caption or text, in both views, as drawn last.
    void ExpectAllDrawnWith(platform::Form& dialog, DrawnColours expected) {
        for (const auto& c : dialog.controls()) {
            const platform::ControlKind kind = c->description().kind;
            if (kind != platform::ControlKind::CommandButton &&
                kind != platform::ControlKind::OptionButton &&
                kind != platform::ControlKind::TextBox) {
                continue;
            }
            const DrawnColours drawn = Drawn(dialog, *c);
            EXPECT_EQ(drawn, expected) << c->Caption();
            EXPECT_GE(platform::ContrastRatio(drawn.text, drawn.background),
                      platform::kReadableContrast)
                << c->Caption();
        }
    }
};

TEST_F(ColoursTest, UnderHighContrastTheSystemsColoursWinUntilTheFlagGoes) {
    StoreMode(kTaskbarOnly);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.At(10, [&] {
        platform::Form& dialog = *app->ConfigureDialogForm();
        const ConfigureDialogControls c(dialog);
        ClickControl(dialog, c.viewButton);  // the About view
        EXPECT_EQ(Drawn(dialog, c.aboutText), kBlackOnGrey);

        // The user turns High Contrast Black on: its colours, the flag, its style.
        desk.colours.ChooseHighContrastTheme(true, kHighContrastBlack);
        ExpectAllDrawnWith(dialog, kWhiteOnBlack);
        EXPECT_EQ(desk.colours.LiveBrushes(), 1u) << "one background left";

        // The flag alone goes, told by WM_SETTINGCHANGE: the grey is back,
        // with black text, which stands out on it where the system's white
        // would not.
        desk.colours.SetHighContrast(false);
        EXPECT_EQ(Drawn(dialog, c.aboutText), kBlackOnGrey);
        EXPECT_EQ(Drawn(dialog, c.ModeOption(1)), kWhiteOnBlack);
        EXPECT_EQ(desk.colours.LiveBrushes(), 2u);

        desk.colours.ChooseHighContrastTheme(true, kHighContrastWhite);
        ExpectAllDrawnWith(dialog, kBlackOnWhite);
        PressKey(dialog, platform::VK_ESCAPE);
    });
    desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure");
    EXPECT_EQ(app->ConfigureDialogForm(), nullptr);
    EXPECT_EQ(desk.colours.LiveBrushes(), 0u) << "the closed dialog's brushes";
}

}  // namespace
}  // namespace quorvel::testing
