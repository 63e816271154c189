// Twips at the screen's density: 15 to the pixel at 96 pixels per inch, 12
// at 120, 10 at 144, 7.5 at 192; the notification-area callback's X and Y
// keep their fixed 15.
#include <gtest/gtest.h>

#include "platform/dispatch.h"
#include "sim_fixture.h"

namespace quorvel::testing {
namespace {

using platform::PixelsToTwips;
using platform::TwipsToPixels;

TEST(Twips, AreAFourteenHundredFortiethOfAnInchAtEveryDensity) {
    struct Case {
        int dpi;
        double twipsPerPixel;
    };
    for (Case c : {Case{96, 15}, Case{120, 12}, Case{144, 10}, Case{192, 7.5}}) {
        EXPECT_EQ(TwipsToPixels(1440, c.dpi), c.dpi);
        EXPECT_EQ(TwipsToPixels(30 * c.twipsPerPixel, c.dpi), 30);
        EXPECT_DOUBLE_EQ(PixelsToTwips(30, c.dpi), 30 * c.twipsPerPixel);
    }
    // Rounded to the nearest pixel, halves away from zero, both ways round.
    EXPECT_EQ(TwipsToPixels(2500, 96), 167);
    EXPECT_EQ(TwipsToPixels(-2500, 96), -167);
    EXPECT_EQ(TwipsToPixels(4845, 144), 485);
    EXPECT_EQ(TwipsToPixels(2055, 192), 274);
}

class DensityTest : public SimTest {};

TEST_F(DensityTest, FormsAreLaidOutAtTheScreensDensity) {
    desk.pixelsPerInch = 144;
    StoreMode(kTaskbarOnly);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    // Off-screen at -2500 twips: -250 pixels here, not the -167 of 96 dpi.
    EXPECT_EQ(W(app->TaskbarForm().hWnd()).x, -250);
    EXPECT_DOUBLE_EQ(app->TaskbarForm().Left(), -2500);
    EXPECT_DOUBLE_EQ(app->TaskbarForm().Width(), 0);  // 1 twip: no pixel at all

    desk.At(10, [&] {
        platform::Form& dialog = *app->ConfigureDialogForm();
        EXPECT_EQ(W(dialog.hWnd()).x, 218);  // 2175 twips
        EXPECT_EQ(W(dialog.hWnd()).width, 485);
        EXPECT_DOUBLE_EQ(dialog.Height(), 2240);  // 2235 twips: 224 pixels of 10 twips
        sim::PressKey(dialog, platform::VK_ESCAPE);
    });
    desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure");
    EXPECT_EQ(app->ConfigureDialogForm(), nullptr);
}

TEST_F(DensityTest, TheIconsCallbackKeepsFifteenTwipsToThePixel) {
    desk.pixelsPerInch = 192;
    StoreMode(kBothIcons);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    // The mouse message rides in X; read at 7.5 twips to the pixel it would
    // be a different message and the right click would open no menu.
    desk.At(10, [&] { desk.DismissMenu(); });
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1, true);
    ASSERT_EQ(desk.popupsShown.size(), 1u);
}

}  // namespace
}  // namespace quorvel::testing
