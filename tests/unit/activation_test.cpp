// Exactly one reveal per click on a shell that minimises the program's own
// window too, and a taskbar button that never goes dead: after the dialog,
// after a start in the background, after Form2 was closed from outside.
#include "platform/constants.h"
#include "unit/sim_fixture.h"

namespace quorvel::testing {
namespace {

using sim::ClickControl;
using sim::PressKey;

class ActivationTest : public SimTest {
protected:
    App* StartWith(const char* mode) {
        StoreMode(mode);
        editor = desk.CreateAppWindow("Untitled - Notepad");
        app = Start();
        return app;
    }
    Hwnd Form1() { return app->Form1().hWnd(); }
    // One click on the taskbar button: exactly one minimise-all, and the
    // shell minimised Form1 with the rest (a kind shell would not).
    void ClickButtonReveals(const std::string& what) {
        int before = desk.MinimiseAllCount();
        desk.ClickTaskbarButton(Form1());
        desk.Run(1000);
        EXPECT_EQ(desk.MinimiseAllCount(), before + 1) << what;
        EXPECT_TRUE(W(Form1()).minimised) << what;
        EXPECT_TRUE(desk.HasTaskbarButton(Form1())) << what;
    }
    void ClickTrayReveals(const std::string& what) {
        int before = desk.MinimiseAllCount();
        desk.ClickTrayIcon(app->Form2().hWnd(), 1);
        desk.Run(1000);
        EXPECT_EQ(desk.MinimiseAllCount(), before + 1) << what;
    }
    platform::Form& Dialog() {
        if (app->Form3() == nullptr) throw std::logic_error("the dialog is not open");
        return *app->Form3();
    }

    App* app = nullptr;
    Hwnd editor = 0;
};

TEST_F(ActivationTest, EveryClickOnTheButtonAndTheIconIsOneRevealAndNothingElseIs) {
    ASSERT_NE(StartWith("3"), nullptr);
    EXPECT_EQ(desk.MinimiseAllCount(), 0);
    for (int i = 1; i <= 20; ++i) ClickButtonReveals("button click " + std::to_string(i));
    EXPECT_TRUE(W(editor).minimised);
    for (int i = 1; i <= 20; ++i) ClickTrayReveals("tray click " + std::to_string(i));
    // Alternated, with second starts in between.
    for (int i = 1; i <= 3; ++i) {
        ClickButtonReveals("alternated button click");
        ClickTrayReveals("alternated tray click");
        int before = desk.MinimiseAllCount();
        EXPECT_EQ(Start(), nullptr);
        desk.Run(1000);
        EXPECT_EQ(desk.MinimiseAllCount(), before + 1) << "second start " << i;
    }
    ClickButtonReveals("after the second starts");
}

// The window system may activate a window as it minimises it: no click.
// The click that then restores it is one.
TEST_F(ActivationTest, AnActivationWhileMinimisedIsNoClickButTheRestoringClickIs) {
    ASSERT_NE(StartWith("2"), nullptr);
    ClickButtonReveals("first click");
    desk.Activate(Form1());
    desk.Run(1000);
    EXPECT_EQ(desk.MinimiseAllCount(), 1);
    ClickButtonReveals("the click that restores it");
}

TEST_F(ActivationTest, TheClickAfterTheDialogClosesRevealsHoweverItClosedAndWasOpened) {
    struct Way {
        const char* name;
        bool fromTrayMenu;
        std::function<void(platform::Form&)> close;
    };
    const Way ways[] = {
        {"OK, window menu", false, [](platform::Form& d) { ClickControl(d, "Command2"); }},
        {"Cancel, window menu", false, [](platform::Form& d) { ClickControl(d, "Command3"); }},
        {"Escape, window menu", false, [](platform::Form& d) { PressKey(d, sim::VK_ESCAPE); }},
        {"OK, tray menu", true, [](platform::Form& d) { ClickControl(d, "Command2"); }},
        {"Cancel, tray menu", true, [](platform::Form& d) { ClickControl(d, "Command3"); }},
        {"Escape, tray menu", true, [](platform::Form& d) { PressKey(d, sim::VK_ESCAPE); }},
    };
    ASSERT_NE(StartWith("3"), nullptr);
    for (const Way& way : ways) {
        int before = desk.MinimiseAllCount();
        desk.At(50, [&] {
            // Clicks while the dialog shows: the button (the shell brings the
            // dialog forward) and Form1 activated anyway, as some shells do.
            desk.ClickTaskbarButton(Form1());
            desk.Activate(Form1());
            desk.RunPending();
            EXPECT_EQ(desk.MinimiseAllCount(), before) << way.name;
            way.close(Dialog());
        });
        if (way.fromTrayMenu) {
            desk.At(10, [&] { desk.ChooseMenuItem("&Configure"); });
            desk.ClickTrayIcon(app->Form2().hWnd(), 1, true);
        } else {
            desk.ChooseWindowMenu(Form1(), "&Configure");
        }
        desk.Run(1000);
        ASSERT_EQ(app->Form3(), nullptr) << way.name;
        EXPECT_EQ(desk.MinimiseAllCount(), before) << way.name << ": closing revealed";
        for (int i = 0; i < 3; ++i) ClickButtonReveals(way.name);
    }
}

TEST_F(ActivationTest, AStartInTheBackgroundStillMakesTheFirstClickReveal) {
    StoreMode("2");
    editor = desk.CreateAppWindow("Untitled - Notepad");
    desk.foregroundLocked = true;
    app = Start();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(desk.Active(), editor) << "the start took the foreground from the user";
    EXPECT_EQ(app->Form1().Tag(), "*");
    EXPECT_EQ(desk.MinimiseAllCount(), 0);
    // The user's click on the button gives the program the foreground.
    desk.foregroundLocked = false;
    ClickButtonReveals("first click");
    ClickButtonReveals("second click");
}

TEST_F(ActivationTest, Form2ClosedFromOutsideIsLoadedAfreshAndClicksStillReveal) {
    ASSERT_NE(StartWith("2"), nullptr);
    ClickButtonReveals("before");
    platform::Form& old = app->Form2();
    Hwnd oldWindow = old.hWnd();
    desk.PressClose(oldWindow);  // UnloadMode 0: Form2 is unloaded, the program runs on
    ASSERT_FALSE(old.Loaded());
    // As on the real backend, showing or hiding an unloaded form is an error.
    EXPECT_THROW(old.Show(), platform::RuntimeError);
    EXPECT_THROW(old.Hide(), platform::RuntimeError);
    for (int i = 0; i < 3; ++i) ClickButtonReveals("after Form2 was closed");
    EXPECT_TRUE(app->Form2().Loaded());
    EXPECT_NE(app->Form2().hWnd(), oldWindow);
}

TEST_F(ActivationTest, TheTimerNeverActivatesAnotherProgramsWindowOfOurTitle) {
    ASSERT_NE(StartWith("2"), nullptr);
    Hwnd other = desk.CreateAppWindow("quorvel");  // a folder window of a file manager, say
    bool otherActivated = false;
    for (int ms = 20; ms <= 1000; ms += 20) {
        desk.At(ms, [&, ms] {
            otherActivated = otherActivated || desk.Active() == other;
            if (ms == 1000) {
                EXPECT_EQ(desk.Active(), Dialog().hWnd());
                PressKey(Dialog(), sim::VK_ESCAPE);
            }
        });
    }
    desk.ChooseWindowMenu(Form1(), "&Configure");
    EXPECT_FALSE(otherActivated);
    EXPECT_EQ(app->Form2().control("Timer1").Interval(), 0) << "the timer did not find the dialog";
}

// The simulated desktop agrees with Wine: hiding with SetWindowPos sends
// only WM_WINDOWPOSCHANGED, so it neither activates nor deactivates.
TEST_F(ActivationTest, HidingWithSetWindowPosActivatesNothing) {
    ASSERT_NE(StartWith("2"), nullptr);
    desk.Activate(editor);
    app->api().SetWindowPos(Form1(), platform::HWND_NOTOPMOST, 300, 300, 300, 300,
                            platform::SWP_NOSIZE | platform::SWP_NOMOVE | platform::SWP_HIDEWINDOW);
    EXPECT_EQ(desk.Active(), editor);
    EXPECT_FALSE(W(Form1()).visible);
}

}  // namespace
}  // namespace quorvel::testing
