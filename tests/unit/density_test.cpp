// Twips at the density of each window's place: 15 to the pixel at 96 pixels
// per inch, 12 at 120, 10 at 144, 7.5 at 192; the notification-area
// callback's X and Y keep their fixed 15. Monitors of their own scale, and a
// window that moves to one of another or whose monitor's scale changes.
#include <gtest/gtest.h>

#include "conformance/layout_check.h"
#include "platform/constants.h"
#include "platform/twips.h"
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
    desk.display.pixelsPerInch = 144;
    StoreMode(kTaskbarOnly);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    // Off-screen at -2500 twips: -250 pixels here, not the -167 of 96 dpi.
    EXPECT_EQ(WindowOf(app->TaskbarForm().hWnd()).x, -250);
    EXPECT_DOUBLE_EQ(app->TaskbarForm().Left(), -2500);
    EXPECT_DOUBLE_EQ(app->TaskbarForm().Width(), 0);  // 1 twip: no pixel at all

    desk.At(10, [&] {
        platform::Form& dialog = *app->ConfigureDialogForm();
        EXPECT_EQ(WindowOf(dialog.hWnd()).x, 218);  // 2175 twips
        EXPECT_EQ(WindowOf(dialog.hWnd()).width, 485);
        EXPECT_DOUBLE_EQ(dialog.Height(), 2240);  // 2235 twips: 224 pixels of 10 twips
        sim::PressKey(dialog, platform::VK_ESCAPE);
    });
    desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure");
    EXPECT_EQ(app->ConfigureDialogForm(), nullptr);
}

TEST_F(DensityTest, TheIconsCallbackKeepsFifteenTwipsToThePixel) {
    desk.display.pixelsPerInch = 192;
    StoreMode(kBothIcons);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    // The mouse message rides in X; read at 7.5 twips to the pixel it would
    // be a different message and the right click would open no menu.
    desk.At(10, [&] { desk.DismissMenu(); });
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1, true);
    ASSERT_EQ(desk.seen.popups.size(), 1u);
}

// --- Monitors of their own scale (Windows 8.1 and later, per-monitor aware) ---

// The dialog as the simulated desktop's backend laid it out.
void ExpectLaidOutAt(platform::Form& dialog, const sim::Window& window, int dpi) {
    EXPECT_EQ(window.pixelsPerInch, dpi);
    const LaidOut shown{[&](platform::Control& c) -> std::optional<platform::ClientArea> {
                            return sim::ControlPlace(dialog, c.description().name,
                                                     c.description().index);
                        },
                        [&](platform::Control&) { return sim::ControlFontHeight(dialog); }};
    ExpectLaidOutAt(dialog, shown, window.width, window.height, dpi);
}

class MonitorDensityTest : public SimTest {
protected:
    // Opens the Configure dialog from the taskbar button's menu, runs
    // `inside` while it is open, and closes it with Escape.
    void WithDialog(App& app, const std::function<void(platform::Form&)>& inside) {
        desk.At(10, [&] {
            platform::Form& dialog = *app.ConfigureDialogForm();
            inside(dialog);
            sim::PressKey(dialog, platform::VK_ESCAPE);
        });
        desk.ChooseWindowMenu(app.TaskbarForm().hWnd(), "&Configure");
        EXPECT_EQ(app.ConfigureDialogForm(), nullptr);
    }
};

TEST_F(MonitorDensityTest, TheDialogIsLaidOutAtTheScaleOfTheMonitorItOpensOn) {
    // The monitor's own scale, not the system's (96, the main monitor's at
    // sign-in): the scale was changed since, or the program started elsewhere.
    for (int dpi : {96, 120, 144, 192}) {
        desk.display.monitors = {{0, 0, 2560, 1600, dpi}};
        StoreMode(kTaskbarOnly);
        App* app = Start();
        ASSERT_NE(app, nullptr);
        WithDialog(*app, [&](platform::Form& dialog) {
            const sim::Window& w = WindowOf(dialog.hWnd());
            EXPECT_EQ(w.x, TwipsToPixels(2175, dpi));
            EXPECT_EQ(w.width, TwipsToPixels(4845, dpi));
            EXPECT_EQ(w.height, TwipsToPixels(2235, dpi));
            ExpectLaidOutAt(dialog, w, dpi);
        });
        desk.ShutDown();
        ASSERT_FALSE(Alive(lastPid));
    }
}

TEST_F(MonitorDensityTest, MovedToAMonitorOfAnotherScaleTheDialogTakesItsDensity) {
    // The main monitor at 96, one right of it at 144, one left of it at 192.
    desk.display.monitors = {
        {0, 0, 1280, 1024, 96}, {1280, 0, 2560, 1440, 144}, {-3840, 0, 3840, 2160, 192}};
    StoreMode(kTaskbarOnly);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    WithDialog(*app, [&](platform::Form& dialog) {
        const Hwnd hwnd = dialog.hWnd();
        ExpectLaidOutAt(dialog, WindowOf(hwnd), 96);
        sim::PressKey(dialog, platform::VK_TAB);  // from the checked option to "&About"
        platform::Control* focused = sim::FocusedControl(dialog);
        ASSERT_NE(focused, nullptr);
        struct Move {
            int x, y, dpi;
        };
        // Half on each of two monitors, the one it overlaps most decides;
        // back where it came from, it is exactly as it was.
        // (Dragged at 192 to 900: 380 pixels over the main monitor, 266 over
        // the right one.)
        for (Move m : {Move{1500, 100, 144}, Move{-700, 100, 192}, Move{900, 100, 96},
                       Move{1200, 100, 144}, Move{100, 100, 96}}) {
            desk.DragWindow(hwnd, m.x, m.y);
            const sim::Window& w = WindowOf(hwnd);
            SCOPED_TRACE(::testing::Message() << "at " << m.x << ", " << m.y);
            // The size Windows suggested, which is the size in twips there.
            EXPECT_EQ(w.width, w.suggested.width);
            EXPECT_EQ(w.height, w.suggested.height);
            EXPECT_EQ(w.x, m.x);
            EXPECT_EQ(w.width, TwipsToPixels(4845, m.dpi));
            EXPECT_EQ(w.height, TwipsToPixels(2235, m.dpi));
            EXPECT_DOUBLE_EQ(dialog.Width(), PixelsToTwips(w.width, m.dpi));
            ExpectLaidOutAt(dialog, w, m.dpi);
            // The focus stays where the user left it, drawn at the new place.
            EXPECT_EQ(sim::FocusedControl(dialog), focused);
        }
    });
}

TEST_F(MonitorDensityTest, TheScaleChangedWithoutSigningOutLaysTheOpenDialogOutAgain) {
    StoreMode(kTaskbarOnly);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    WithDialog(*app, [&](platform::Form& dialog) {
        desk.SetMonitorDensity(0, 120);
        ExpectLaidOutAt(dialog, WindowOf(dialog.hWnd()), 120);
    });
}

TEST_F(MonitorDensityTest, WithoutPerMonitorScalesEveryWindowKeepsTheSystemsDensity) {
    // Windows before 8.1, and Wine 8: one density for every window, and no
    // message when a window moves.
    desk.display.perMonitorDensity = false;
    desk.display.pixelsPerInch = 120;
    desk.display.monitors = {{0, 0, 1280, 1024, 96}, {1280, 0, 2560, 1440, 144}};
    StoreMode(kTaskbarOnly);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    WithDialog(*app, [&](platform::Form& dialog) {
        ExpectLaidOutAt(dialog, WindowOf(dialog.hWnd()), 120);
        desk.DragWindow(dialog.hWnd(), 1500, 100);
        ExpectLaidOutAt(dialog, WindowOf(dialog.hWnd()), 120);
    });
}

TEST_F(MonitorDensityTest, TheHiddenFormsGoOffScreenAtTheDensityOfWhereTheyAre) {
    // Nearest to the point above and left of the main monitor is a monitor
    // at 192 left of it, reaching a little higher: there -2500 twips are 333
    // pixels, a point beyond every monitor (at 96 dots per inch it would be
    // 167, a point on that monitor).
    desk.display.monitors = {{0, 0, 1280, 1024, 96}, {-1920, -200, 1920, 1080, 192}};
    StoreMode(kBothIcons);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    struct Scale {
        int dpi, pixels;
        double twips;  // -2500 to the nearest pixel
    };
    // Then the user sets that monitor to 144 without signing out. (The
    // taskbar button's form rests minimised, where it cannot be moved; it
    // takes its place again when it is restored.)
    for (Scale scale : {Scale{192, -333, -2497.5}, Scale{144, -250, -2500}}) {
        desk.SetMonitorDensity(1, scale.dpi);
        for (platform::Form* form : {&app->TaskbarForm(), &app->IconHostForm()}) {
            if (scale.dpi != 192 && WindowOf(form->hWnd()).minimised) continue;
            SCOPED_TRACE(::testing::Message() << form->description().name << " at " << scale.dpi);
            const sim::Window& w = WindowOf(form->hWnd());
            EXPECT_EQ(w.pixelsPerInch, scale.dpi);
            EXPECT_EQ(w.x, scale.pixels);
            EXPECT_EQ(w.y, scale.pixels);
            EXPECT_DOUBLE_EQ(form->Left(), scale.twips);
            EXPECT_DOUBLE_EQ(form->Top(), scale.twips);
        }
    }
}

}  // namespace
}  // namespace quorvel::testing
