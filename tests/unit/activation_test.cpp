// Exactly one reveal per click and none without one, under each kind of
// shell (Windows' own, which spares windows without a minimise button, and
// the harsh ones that minimise the program's own window too), and a taskbar
// button that never goes dead: after the dialog, after a start in the
// background, after the icon host form was closed from outside.
#include <vector>

#include "platform/constants.h"
#include "sim/backend/sim_winapi.h"
#include "unit/sim_fixture.h"

namespace quorvel::testing {
namespace {

using sim::ClickControl;
using sim::PressKey;

class ActivationTest : public SimTest, public ::testing::WithParamInterface<sim::ShellKind> {
protected:
    ActivationTest() { desk.shell.kind = GetParam(); }
    // No request for the foreground is ever refused, which would flash a
    // taskbar button; where the shell takes its keys, it is never asked the
    // other way.
    void TearDown() override {
        EXPECT_EQ(desk.seen.flashes.size(), 0u) << "a taskbar button flashed";
        if (GetParam() == sim::ShellKind::WindowsLayoutWithoutAltM) return;
        EXPECT_EQ(desk.seen.shellObjectCalls, 0);
        EXPECT_EQ(desk.seen.winMPresses, 0);
    }
    App* StartWith(const char* mode) {
        StoreMode(mode);
        editor = desk.CreateAppWindow("Untitled - Notepad");
        app = Start();
        return app;
    }
    Hwnd TaskbarFormWindow() { return app->TaskbarForm().hWnd(); }
    // One click on the taskbar button: exactly one minimise-all, and the taskbar form
    // minimised after it, by the shell or, where the shell spares it, at rest.
    void ClickButtonReveals(const std::string& what) {
        int before = desk.seen.minimiseAlls;
        desk.ClickTaskbarButton(TaskbarFormWindow());
        desk.Run(1000);
        EXPECT_EQ(desk.seen.minimiseAlls, before + 1) << what;
        EXPECT_TRUE(WindowOf(TaskbarFormWindow()).minimised) << what;
        EXPECT_TRUE(desk.HasTaskbarButton(TaskbarFormWindow())) << what;
    }
    void ClickTrayReveals(const std::string& what) {
        int before = desk.seen.minimiseAlls;
        desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1);
        desk.Run(1000);
        EXPECT_EQ(desk.seen.minimiseAlls, before + 1) << what;
    }
    platform::Form& Dialog() {
        if (app->ConfigureDialogForm() == nullptr) throw std::logic_error("the dialog is not open");
        return *app->ConfigureDialogForm();
    }

    App* app = nullptr;
    Hwnd editor = 0;
};

TEST_P(ActivationTest, EveryClickOnTheButtonAndTheIconIsOneRevealAndNothingElseIs) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
    for (int i = 1; i <= 20; ++i) ClickButtonReveals("button click " + std::to_string(i));
    EXPECT_TRUE(WindowOf(editor).minimised);
    for (int i = 1; i <= 20; ++i) ClickTrayReveals("tray click " + std::to_string(i));
    // Alternated, with second starts in between.
    for (int i = 1; i <= 3; ++i) {
        ClickButtonReveals("alternated button click");
        ClickTrayReveals("alternated tray click");
        int before = desk.seen.minimiseAlls;
        // A window to minimise: a second start knows nothing of the shell,
        // and finds out from what its keys minimised.
        desk.Restore(editor);
        EXPECT_EQ(Start(), nullptr);
        desk.Run(1000);
        EXPECT_EQ(desk.seen.minimiseAlls, before + 1) << "second start " << i;
    }
    ClickButtonReveals("after the second starts");
}

// The window system may activate a window as it minimises it: no click.
// The click that then restores it is one.
TEST_P(ActivationTest, AnActivationWhileMinimisedIsNoClickButTheRestoringClickIs) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    ClickButtonReveals("first click");
    desk.Activate(TaskbarFormWindow());
    desk.Run(1000);
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    ClickButtonReveals("the click that restores it");
}

TEST_P(ActivationTest, TheClickAfterTheDialogClosesRevealsHoweverItClosedAndWasOpened) {
    struct Way {
        const char* name;
        bool fromTrayMenu;
        std::function<void(platform::Form&)> close;
    };
    const Way ways[] = {
        {"OK, window menu", false,
         [](platform::Form& d) { ClickControl(d, ConfigureDialogControls(d).okButton); }},
        {"Cancel, window menu", false,
         [](platform::Form& d) { ClickControl(d, ConfigureDialogControls(d).cancelButton); }},
        {"Escape, window menu", false, [](platform::Form& d) { PressKey(d, platform::VK_ESCAPE); }},
        {"OK, tray menu", true,
         [](platform::Form& d) { ClickControl(d, ConfigureDialogControls(d).okButton); }},
        {"Cancel, tray menu", true,
         [](platform::Form& d) { ClickControl(d, ConfigureDialogControls(d).cancelButton); }},
        {"Escape, tray menu", true, [](platform::Form& d) { PressKey(d, platform::VK_ESCAPE); }},
    };
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    for (const Way& way : ways) {
        int before = desk.seen.minimiseAlls;
        desk.At(50, [&] {
            // Clicks while the dialog shows: the button (the shell brings the
            // dialog forward) and the taskbar form activated anyway, as some shells do.
            desk.ClickTaskbarButton(TaskbarFormWindow());
            desk.Activate(TaskbarFormWindow());
            desk.RunPending();
            EXPECT_EQ(desk.seen.minimiseAlls, before) << way.name;
            way.close(Dialog());
        });
        if (way.fromTrayMenu) {
            desk.At(10, [&] { desk.ChooseMenuItem("&Configure"); });
            desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1, true);
        } else {
            desk.ChooseWindowMenu(TaskbarFormWindow(), "&Configure");
        }
        desk.Run(1000);
        ASSERT_EQ(app->ConfigureDialogForm(), nullptr) << way.name;
        EXPECT_EQ(desk.seen.minimiseAlls, before) << way.name << ": closing revealed";
        for (int i = 0; i < 3; ++i) ClickButtonReveals(way.name);
    }
}

TEST_P(ActivationTest, AStartInTheBackgroundStillMakesTheFirstClickReveal) {
    StoreMode(kTaskbarOnly);
    editor = desk.CreateAppWindow("Untitled - Notepad");
    desk.processes.startedInBackground = true;  // from a scheduled task, say
    app = Start();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(desk.Active(), editor) << "the start took the foreground from the user";
    // Windows refused the start's request, and flashed the button: the
    // flashing stopped at once, so that nothing blinks at the user.
    const Hwnd button = TaskbarFormWindow();
    EXPECT_EQ(desk.seen.flashes, std::vector<Hwnd>{button});
    EXPECT_EQ(desk.seen.flashesStopped, std::vector<Hwnd>{button});
    EXPECT_FALSE(desk.foreground.Flashing(button));
    EXPECT_EQ(desk.seen.CountCalls("FlashWindowEx(" + sim::Hex(button) + ", 0x0,"), 1u);
    desk.seen.flashes.clear();  // the clicks after flash nothing (TearDown)
    EXPECT_TRUE(app->Reveal().StartUpActivationSeen());
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
    // The user's click on the button gives the program the foreground, and
    // with it the right to hand the foreground on to the shell.
    ClickButtonReveals("first click");
    ClickButtonReveals("second click");
}

TEST_P(ActivationTest, IconHostUnloadedIsLoadedAfreshAndClicksStillReveal) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    ClickButtonReveals("before");
    platform::Form& old = app->IconHostForm();
    Hwnd oldWindow = old.hWnd();
    desk.PressClose(oldWindow);  // UnloadMode 0 from outside: cancelled
    ASSERT_TRUE(old.Loaded());
    ASSERT_EQ(app->IconHostForm().hWnd(), oldWindow);
    // The program's own unload (UnloadMode 1) goes through and ends nothing.
    desk.Drive([&] {
        auto running = desk.InProcess(lastPid);
        old.Unload();
    });
    ASSERT_FALSE(old.Loaded());
    // As on the real backend, showing or hiding an unloaded form is an error.
    EXPECT_THROW(old.Show(), platform::RuntimeError);
    EXPECT_THROW(old.Hide(), platform::RuntimeError);
    for (int i = 0; i < 3; ++i) ClickButtonReveals("after the icon host form was closed");
    EXPECT_TRUE(app->IconHostForm().Loaded());
    EXPECT_NE(app->IconHostForm().hWnd(), oldWindow);
}

TEST_P(ActivationTest, TheTimerNeverActivatesAnotherProgramsWindowOfOurTitle) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    Hwnd other = desk.CreateAppWindow("quorvel");  // a folder window of a file manager, say
    bool otherActivated = false;
    for (int ms = 20; ms <= 1000; ms += 20) {
        desk.At(ms, [&, ms] {
            otherActivated = otherActivated || desk.Active() == other;
            if (ms == 1000) {
                EXPECT_EQ(desk.Active(), Dialog().hWnd());
                PressKey(Dialog(), platform::VK_ESCAPE);
            }
        });
    }
    desk.ChooseWindowMenu(TaskbarFormWindow(), "&Configure");
    EXPECT_FALSE(otherActivated);
    EXPECT_EQ(app->IconHostControls().activationTimer.Interval(), 0)
        << "the timer did not find the dialog";
}

// Windows hands the activation to the next window in the z-order when the
// active one is closed, minimised or hidden; the taskbar form, off the screen and
// spared by Windows' own shell, may be that window. No such hand-off is a
// click: at start-up, after reveals, and with the taskbar form restored from outside.
TEST_P(ActivationTest, TheActivationWindowsHandsOnIsNoClick) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    const struct {
        const char* name;
        std::function<void(Hwnd)> away;
    } ways[] = {
        {"closed", [&](Hwnd w) { desk.DestroyWindow(w); }},
        {"minimised", [&](Hwnd w) { desk.Minimise(w); }},
        {"hidden", [&](Hwnd w) { desk.Hide(w); }},
    };
    for (const char* when :
         {"after start-up", "after a reveal", "with the taskbar form restored"}) {
        if (std::string(when) == "after a reveal") ClickButtonReveals(when);
        for (const auto& way : ways) {
            if (std::string(when) == "with the taskbar form restored") {
                desk.Restore(TaskbarFormWindow());  // a shell's "undo minimise all", say
                desk.Run(1000);
            }
            // The user's window, right in front of the taskbar form in the z-order.
            desk.BringToFront(TaskbarFormWindow());
            Hwnd window = desk.CreateAppWindow("Untitled - Notepad");
            desk.Run(1000);
            const int before = desk.seen.minimiseAlls;
            way.away(window);
            desk.Run(1000);
            EXPECT_EQ(desk.seen.minimiseAlls, before) << way.name << ", " << when;
            ClickButtonReveals(std::string("the click after ") + way.name + ", " + when);
        }
    }
}

// Modifiers the user holds when a reveal starts (Ctrl+Alt of the hotkey that
// started a second instance, Shift with a click on the icon, the Windows key
// of Win+1 or of a launcher's hotkey) are let go for the keys: the shell
// sees Tab and Alt+M alone, also when a key comes back down between the two
// (the user presses it; under Wine, the taskbar's thread taking the focus
// gets the keys physically held). No key is pressed again: one the user let
// go during the keys stays up. And Windows never sees a Windows key or an
// Alt go up alone, which would open the Start menu or enter the menu bar.
TEST_P(ActivationTest, HeldModifiersNeitherSpoilTheKeysNorStayDownNorOpenTheStartMenu) {
    constexpr std::uint8_t kLeftShift = 0xA0, kLeftCtrl = 0xA2, kLeftAlt = 0xA4, kRightAlt = 0xA5,
                           kLeftWin = 0x5B, kRightWin = 0x5C;
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    enum How { SecondStart, Tray, Button };
    // What the user does between Tab and Alt+M.
    enum Between { Holds, LetsGo, PressesCtrl };
    const struct {
        const char* name;
        std::vector<std::uint8_t> held;
        How how;
        Between between;
        int wineFocusRule;  // KeyboardKnobs::stateFollowsFocus: 0 Windows, 1 or 2 Wine's lag
    } cases[] = {
        // First, before anything is learnt: where the taskbar ignores Alt+M
        // this one learns Windows key + M, which the cases after it ask at once.
        {"a second start, nothing held", {}, SecondStart, Holds, 0},
        {"Ctrl+Alt of a hotkey, second start", {kLeftCtrl, kLeftAlt}, SecondStart, Holds, 1},
        {"Ctrl+Alt let go during the keys", {kLeftCtrl, kLeftAlt}, SecondStart, LetsGo, 1},
        {"AltGr let go during the keys", {kLeftCtrl, kRightAlt}, SecondStart, LetsGo, 0},
        {"Windows key, second start", {kLeftWin}, SecondStart, Holds, 2},
        {"Ctrl+Windows key, second start", {kLeftCtrl, kLeftWin}, SecondStart, Holds, 0},
        {"both Windows keys, second start", {kLeftWin, kRightWin}, SecondStart, Holds, 0},
        {"Shift let go during a click on the icon", {kLeftShift}, Tray, LetsGo, 0},
        {"Ctrl pressed during a click on the icon", {kLeftShift}, Tray, PressesCtrl, 0},
        {"Alt, a click on the button", {kLeftAlt}, Button, Holds, 0},
        {"Windows key, a click on the button", {kLeftWin}, Button, Holds, 2},
        {"Shift+Windows key, a click on the button", {kLeftShift, kLeftWin}, Button, Holds, 1},
    };
    for (const auto& c : cases) {
        desk.Restore(editor);
        desk.keyboard.stateFollowsFocus = c.wineFocusRule;
        for (std::uint8_t vk : c.held) desk.HoldKey(vk, true);
        // Between two strokes; a way asked in one stroke has none.
        if (c.between == LetsGo) {
            desk.BetweenKeyBatches([&] {
                for (std::uint8_t vk : c.held) desk.HoldKey(vk, false);
            });
        } else if (c.between == PressesCtrl) {
            desk.BetweenKeyBatches([&] { desk.HoldKey(kLeftCtrl, true); });
        }
        desk.seen.shellKeys.clear();
        const int before = desk.seen.minimiseAlls;
        const int pressesBefore = desk.seen.winMPresses;
        const bool learnt = app->Reveal().LearntWay() != MinimiseAllWay::Keys;
        if (c.how == SecondStart) {
            EXPECT_EQ(Start(), nullptr);
        } else if (c.how == Tray) {
            desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1);
        } else {
            desk.ClickTaskbarButton(TaskbarFormWindow());
        }
        desk.Run(1000);
        EXPECT_EQ(desk.seen.minimiseAlls, before + 1) << c.name;
        // The shell sees Tab and Alt+M alone, unless the way was learnt: a
        // taskbar found deaf to Alt+M is asked Windows key + M at once. It
        // gets Windows key + M once in this case where it ignores Alt+M,
        // never elsewhere.
        const bool deaf = GetParam() == sim::ShellKind::WindowsLayoutWithoutAltM;
        EXPECT_EQ(learnt, deaf && &c != &cases[0]) << c.name;
        const std::vector<std::string> keys =
            learnt ? std::vector<std::string>{} : std::vector<std::string>{"Tab", "Alt+M"};
        EXPECT_EQ(desk.seen.shellKeys, keys) << c.name;
        EXPECT_EQ(desk.seen.winMPresses - pressesBefore, deaf ? 1 : 0) << c.name;
        // Afterwards no key is down that the user does not hold.
        for (int vk = 0x10; vk <= 0xA5; ++vk) {
            const auto key = static_cast<std::uint8_t>(vk);
            EXPECT_TRUE(!desk.KeyDown(key) || desk.PhysicallyDown(key)) << c.name << ": key " << vk;
        }
        desk.BetweenKeyBatches(nullptr);
        for (int vk = 0x10; vk <= 0xA5; ++vk) {
            const auto key = static_cast<std::uint8_t>(vk);
            if (desk.PhysicallyDown(key)) desk.HoldKey(key, false);
        }
        EXPECT_EQ(desk.seen.startMenus, 0) << c.name;
        EXPECT_EQ(desk.seen.menuBars, 0) << c.name;
    }
}

// A window of another program can take the foreground back from the shell's
// just after the program gave it to the shell (under Wine, when its thread
// gets to a focus event the display sent it before): the program takes the
// foreground again, and the keys still go to the shell alone.
TEST_P(ActivationTest, TheShellIsBroughtToTheFrontAgainWhenAnotherWindowTakesItBack) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    const struct {
        const char* name;
        std::function<void()> reveal;
    } cases[] = {
        {"a click on the button", [&] { desk.ClickTaskbarButton(TaskbarFormWindow()); }},
        {"a second start", [&] { EXPECT_EQ(Start(), nullptr); }},
    };
    for (const auto& c : cases) {
        desk.Activate(editor);
        desk.Run(1000);
        const int before = desk.seen.minimiseAlls;
        desk.TakeForegroundFromShell(editor);
        c.reveal();
        desk.Run(1000);
        EXPECT_EQ(desk.seen.minimiseAlls, before + 1) << c.name;
        EXPECT_EQ(WindowOf(editor).typed, "") << c.name;
        desk.Restore(editor);
    }
}

// The shell may read the keys before the program has put the taskbar form to rest, and
// then activate the taskbar form as a late step of the same click. Left active and
// restored, the taskbar form would be minimised by the next click on its button instead
// of revealing: the program hands the activation back once the shell is done.
TEST_P(ActivationTest, AShellsLateStepAfterTheKeysLeavesTheNextClickRevealing) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    desk.shell.readsKeysFirst = true;
    for (int click = 1; click <= 3; ++click) {
        desk.AfterMinimiseAll([&] { desk.Activate(TaskbarFormWindow()); });
        ClickButtonReveals("a click with a late step " + std::to_string(click));
    }
}

// Keys only to the shell: a window of another program titled "Program
// Manager", made before or after the shell's or the program, never gets them
// while the shell registers its own window; where it registers none, the
// first window of the title is taken.
TEST_P(ActivationTest, KeysGoToTheShellsOwnWindowNotAnotherOfItsTitle) {
    for (const bool registered : {true, false}) {
        for (const bool fakeFirst : {true, false}) {
            sim::Desktop& d = desk;
            d.shell.registersWindow = registered;
            Hwnd fake = 0;
            if (fakeFirst) fake = d.CreateAppWindow("Program Manager");
            ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
            if (!fakeFirst) fake = d.CreateAppWindow("Program Manager");
            d.Activate(editor);
            const int before = d.seen.minimiseAlls;
            for (int i = 0; i < 3; ++i) {
                d.ClickTaskbarButton(TaskbarFormWindow());
                d.Run(1000);
            }
            const char* where = registered ? "registered" : "unregistered";
            if (registered) {
                EXPECT_EQ(d.seen.minimiseAlls, before + 3) << where << fakeFirst;
                EXPECT_EQ(d.Find(fake)->typed, "") << where << fakeFirst;
            } else {
                // The fake, in front of the shell's window, takes the keys;
                // nothing minimised, the shell is asked the other way.
                EXPECT_NE(d.Find(fake)->typed, "") << where << fakeFirst;
                EXPECT_GT(d.seen.shellObjectCalls, 0) << where << fakeFirst;
                d.seen.shellObjectCalls = d.seen.winMPresses = 0;
            }
            d.ShutDown();
            d.DestroyWindow(fake);
        }
    }
}

// The activation the program hands away goes to a window the user can see
// and use: never a cloaked one (on another virtual desktop) or a disabled one.
TEST_P(ActivationTest, TheActivationIsHandedOnlyToAWindowTheUserCanSee) {
    StoreMode(kTaskbarOnly);
    editor = desk.CreateAppWindow("Untitled - Notepad");
    Hwnd cloaked = desk.CreateAppWindow("On another desktop");
    desk.Find(cloaked)->cloaked = true;
    Hwnd disabled = desk.CreateAppWindow("Behind its own dialog");
    desk.Find(disabled)->enabled = false;
    app = Start();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(desk.Active(), editor);
    ClickButtonReveals("a click");
    desk.Activate(disabled);
    desk.Minimise(editor);
    ClickButtonReveals("a click with nothing but the cloaked and disabled windows");
    EXPECT_NE(desk.Active(), cloaked);
}

// After the dialog, the activation goes back to the window the user worked
// in, not to a window above it: one that never takes the activation (an
// on-screen keyboard), a click-through overlay, a tool window, or another
// program's window kept on top.
TEST_P(ActivationTest, TheDialogHandsTheActivationBackToTheUsersWindow) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    const struct {
        const char* name;
        bool sim::Window::*flag;
    } above[] = {{"no activation", &sim::Window::noActivate},
                 {"click-through", &sim::Window::transparent},
                 {"tool window", &sim::Window::toolWindow},
                 {"always on top, the user's window below", nullptr}};
    for (const auto& a : above) {
        Hwnd over = desk.CreateAppWindow(a.name);
        if (a.flag != nullptr) desk.Find(over)->*a.flag = true;
        desk.Activate(editor);
        desk.BringToFront(over);
        desk.At(10, [&] { desk.ChooseMenuItem("&Configure"); });
        desk.At(50,
                [&] { ClickControl(Dialog(), ConfigureDialogControls(Dialog()).cancelButton); });
        desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1, true);
        desk.Run(1000);
        ASSERT_EQ(app->ConfigureDialogForm(), nullptr) << a.name;
        EXPECT_EQ(desk.Active(), editor) << a.name;
        desk.DestroyWindow(over);
    }
}

INSTANTIATE_TEST_SUITE_P(Shells, ActivationTest, ::testing::ValuesIn(sim::kShellKinds),
                         [](const auto& info) {
                             return std::string(sim::ShellKindName(info.param));
                         });

}  // namespace
}  // namespace quorvel::testing
