// The Configure dialog: its two views, OK, Cancel and Exit, the close
// request, the timer that brings it to the front, and the window manager's
// transitions, which it alone of the forms keeps.
#include <cstdio>

#include "icon/notify_icon_record.h"
#include "platform/constants.h"
#include "unit/sim_fixture.h"

namespace quorvel::testing {
namespace {

using sim::ClickControl;
using sim::PressKey;

class DialogTest : public SimTest {
protected:
    App* StartWith(const char* mode) {
        StoreMode(mode);
        app = Start();
        pid = lastPid;
        return app;
    }
    platform::Form& Dialog() {
        platform::Form* f = app->ConfigureDialogForm();
        if (f == nullptr || !f->Visible()) throw std::logic_error("the dialog is not open");
        return *f;
    }
    ConfigureDialogControls Controls() { return ConfigureDialogControls(Dialog()); }
    bool Selected(int i) { return Controls().ModeOption(i).Value(); }
    int SelectedOption() {
        int found = 0;
        for (int i = 1; i <= 3; ++i) {
            if (Selected(i)) found = found == 0 ? i : -1;
        }
        return found;
    }
    bool InAboutView() {
        platform::Form& d = Dialog();
        const ConfigureDialogControls c(d);
        bool about = d.Caption() == "About Quorvel";
        EXPECT_EQ(c.viewButton.Caption(), about ? "Con&figure" : "&About");
        EXPECT_EQ(c.aboutBox.Visible(), about);
        // The text is seen only inside its shown panel (created visible in a hidden one).
        EXPECT_EQ(c.aboutBox.Visible() && c.aboutText.Visible(), about);
        EXPECT_EQ(c.modeFrame.Visible(), !about);
        if (!about) {
            EXPECT_EQ(d.Caption(), "Configure Quorvel");
        }
        return about;
    }
    // Opens the dialog from the taskbar button's window menu; `inside` runs
    // while it is open and must close it.
    void OpenFromWindowMenu(std::function<void()> inside) {
        desk.At(10, std::move(inside));
        desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure");
    }
    std::size_t Titled(const std::string& title) {
        std::size_t n = 0;
        for (Hwnd h : desk.ZOrder()) n += WindowOf(h).title == title;
        return n;
    }

    App* app = nullptr;
    int pid = 0;
};

TEST_F(DialogTest, OpensInTheConfigureViewWithTheStoredModeSelected) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    OpenFromWindowMenu([&] {
        EXPECT_FALSE(InAboutView());
        EXPECT_EQ(SelectedOption(), 3);
        EXPECT_EQ(Controls().aboutText.Caption(), "Text1");
        // The program's other windows take no input meanwhile.
        EXPECT_FALSE(WindowOf(app->TaskbarForm().hWnd()).enabled);
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
    EXPECT_EQ(app->ConfigureDialogForm(), nullptr);
    EXPECT_TRUE(WindowOf(app->TaskbarForm().hWnd()).enabled);
    EXPECT_TRUE(Alive(pid));
}

// The window manager's transitions are turned off, once each, for the forms
// the program itself minimises, restores, shows and hides; the dialog the
// user opens keeps them.
TEST_F(DialogTest, OnlyTheDialogKeepsTheWindowManagersTransitions) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    Hwnd dialog = 0;
    OpenFromWindowMenu([&] {
        dialog = Dialog().hWnd();
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
    // Restores the taskbar form, shows and hides the icon host.
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run();
    ASSERT_EQ(desk.seen.minimiseAlls, 1);
    // Nothing on the simulated desktop, and nothing on the screen but the
    // animations, stands for the attribute: the call is the contract.
    auto callsFor = [&](Hwnd hwnd) {
        char prefix[64];
        std::snprintf(prefix, sizeof prefix, "DwmSetWindowAttribute(0x%X, ", hwnd);
        return desk.seen.CountCalls(prefix);
    };
    auto turnedOff = [&](Hwnd hwnd) {
        char call[80];
        std::snprintf(call, sizeof call, "DwmSetWindowAttribute(0x%X, %u, 1, 4)", hwnd,
                      platform::DWMWA_TRANSITIONS_FORCEDISABLED);
        return desk.seen.CountCalls(call);
    };
    EXPECT_EQ(turnedOff(app->TaskbarForm().hWnd()), 1u);
    EXPECT_EQ(turnedOff(app->IconHostForm().hWnd()), 1u);
    ASSERT_NE(dialog, 0u);
    EXPECT_EQ(callsFor(dialog), 0u);
    EXPECT_EQ(desk.seen.CountCalls("DwmSetWindowAttribute("), 2u);
}

TEST_F(DialogTest, OpeningWithNothingStoredStoresAndSelectsTheDefault) {
    ASSERT_NE(StartWith(kTrayOnly), nullptr);
    desk.registry.DeleteKey(platform::HKEY_LOCAL_MACHINE, kSettingsKey);
    desk.At(10, [&] { desk.ChooseMenuItem("&Configure"); });
    desk.At(20, [&] {
        EXPECT_EQ(StoredMode(), AsStored(kTaskbarOnly));
        EXPECT_EQ(SelectedOption(), 2);
        EXPECT_FALSE(InAboutView());
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId, true);
    EXPECT_EQ(app->ConfigureDialogForm(), nullptr);
}

TEST_F(DialogTest, AboutFromTheMenuOpensTheAboutViewAndTheRequestIsClearedAfter) {
    ASSERT_NE(StartWith(kTrayOnly), nullptr);
    desk.At(10, [&] { desk.ChooseMenuItem("About Q&uorvel"); });
    desk.At(20, [&] {
        EXPECT_TRUE(InAboutView());
        EXPECT_EQ(Controls().aboutText.Caption(), std::string(22, ' ') + "Quorvel V1.04");
        EXPECT_TRUE(app->Dialog().AboutRequested());
        ClickControl(Dialog(), Controls().viewButton);
        EXPECT_FALSE(InAboutView());
        EXPECT_EQ(SelectedOption(), 1);
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId, true);
    EXPECT_FALSE(app->Dialog().AboutRequested());
    // A later Configure opens the configure view.
    desk.At(10, [&] { desk.ChooseMenuItem("&Configure"); });
    desk.At(20, [&] {
        EXPECT_FALSE(InAboutView());
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId, true);
}

TEST_F(DialogTest, TheViewsAlternateWithoutTouchingTheSelection) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    OpenFromWindowMenu([&] {
        ClickControl(Dialog(), Controls().ModeOption(1));
        for (int i = 0; i < 7; ++i) {
            bool wasAbout = InAboutView();
            ClickControl(Dialog(), Controls().viewButton);
            EXPECT_NE(InAboutView(), wasAbout);
            EXPECT_EQ(SelectedOption(), 1);
        }
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
    EXPECT_EQ(StoredMode(), AsStored(kTaskbarOnly));
}

TEST_F(DialogTest, OkStoresTheSelectionEvenFromTheAboutViewAndAppliesIt) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    OpenFromWindowMenu([&] {
        ClickControl(Dialog(), Controls().ModeOption(1));
        ClickControl(Dialog(), Controls().viewButton);  // to the About view; the focus is on it
        ClickControl(Dialog(), Controls().aboutText);   // into the About text
        PressKey(Dialog(), platform::VK_RETURN);        // Enter away from the buttons presses "&OK"
    });
    EXPECT_EQ(StoredMode(), AsStored(kTrayOnly));
    EXPECT_EQ(app->IconMode(), TrayOnly);
    EXPECT_FALSE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    EXPECT_TRUE(HasTrayIcon(*app));

    // And back to both icons, from the tray's own menu.
    desk.At(10, [&] { desk.ChooseMenuItem("&Configure"); });
    desk.At(20, [&] {
        ClickControl(Dialog(), Controls().ModeOption(3));
        ClickControl(Dialog(), Controls().okButton);
    });
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId, true);
    EXPECT_EQ(StoredMode(), AsStored(kBothIcons));
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    EXPECT_EQ(desk.TrayIconCount(), 1u);
}

// The shell has lost the icon and another program has changed the stored
// value while the dialog is open: OK stores its selection even when the
// user changed nothing, Cancel stores nothing, and both put the stored mode
// in force again in full, the icon added anew.
TEST_F(DialogTest, OkWithoutAChangeAndCancelBothReapplyTheStoredModeInFull) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    const Hwnd iconHost = app->IconHostForm().hWnd();
    const struct {
        const char* name;
        std::uint8_t key;
        int select;                   // 0: the selection as it opened
        const char* storedMeanwhile;  // by another program, or null
        const char* storedAfter;
    } cases[] = {
        {"OK without a change", platform::VK_RETURN, 0, kTaskbarOnly, kBothIcons},
        {"Cancel with a change", platform::VK_ESCAPE, TrayOnly, nullptr, kBothIcons},
    };
    for (const auto& c : cases) {
        OpenFromWindowMenu([&] {
            if (c.select != 0) ClickControl(Dialog(), Controls().ModeOption(c.select));
            if (c.storedMeanwhile != nullptr) StoreMode(c.storedMeanwhile);
            const NotifyIconRecord gone = BuildDeleteRecord(iconHost);
            ASSERT_EQ(desk.NotifyIcon(platform::NIM_DELETE, gone.data()), 1) << c.name;
            PressKey(Dialog(), c.key);
        });
        EXPECT_EQ(StoredMode(), AsStored(c.storedAfter)) << c.name;
        EXPECT_EQ(app->IconMode(), BothIcons) << c.name;
        EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd())) << c.name;
        EXPECT_NE(desk.FindTrayIcon(iconHost, kIconId), nullptr) << c.name;
        EXPECT_EQ(desk.TrayIconCount(), 1u) << c.name;
    }
}

TEST_F(DialogTest, ExitAsksAndOnlyOkEndsWithoutStoring) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    Hwnd iconHost = app->IconHostForm().hWnd();
    desk.user.messageBoxAnswers = {platform::vbCancel, platform::vbOK};
    OpenFromWindowMenu([&] {
        ClickControl(Dialog(), Controls().ModeOption(1));
        ClickControl(Dialog(), Controls().viewButton);
        ClickControl(Dialog(), Controls().exitButton);  // Exit, then Cancel: nothing changes
        EXPECT_TRUE(InAboutView());
        EXPECT_EQ(SelectedOption(), 1);
        ClickControl(Dialog(), Controls().exitButton);  // Exit, then OK: the end
        ADD_FAILURE() << "the program went on after a confirmed Exit";
    });
    ASSERT_EQ(desk.seen.messageBoxes.size(), 2u);
    EXPECT_EQ(desk.seen.messageBoxes[0].prompt, "You are about to exit Quorvel.");
    EXPECT_EQ(desk.seen.messageBoxes[0].style, 65);
    EXPECT_EQ(desk.seen.messageBoxes[0].title, "Exit Quorvel");
    EXPECT_FALSE(Alive(pid));
    EXPECT_EQ(desk.FindTrayIcon(iconHost, kIconId), nullptr);
    EXPECT_EQ(StoredMode(), AsStored(kBothIcons));
}

// Another program stores tray-only meanwhile: a close request neither
// stores the selection nor puts what is stored in force.
TEST_F(DialogTest, ACloseRequestClosesWithoutStoringOrApplying) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    OpenFromWindowMenu([&] {
        ClickControl(Dialog(), Controls().ModeOption(TaskbarOnly));
        StoreMode(kTrayOnly);
        desk.PressClose(Dialog().hWnd());  // UnloadMode 0
    });
    EXPECT_EQ(app->ConfigureDialogForm(), nullptr);
    EXPECT_TRUE(Alive(pid));
    EXPECT_EQ(StoredMode(), AsStored(kTrayOnly));
    EXPECT_EQ(app->IconMode(), BothIcons);
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    EXPECT_TRUE(HasTrayIcon(*app));
}

// Another program stored tray-only before the dialog opened: its activation
// put that in force, and the close shows it, so that the button does not
// show in a mode whose reveals hide it for good.
TEST_F(DialogTest, ACloseRequestShowsTheModeItsActivationPutInForce) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    StoreMode(kTrayOnly);
    OpenFromWindowMenu([&] { desk.PressClose(Dialog().hWnd()); });
    EXPECT_EQ(app->IconMode(), TrayOnly);
    EXPECT_EQ(StoredMode(), AsStored(kTrayOnly));
    const Hwnd taskbarForm = app->TaskbarForm().hWnd();
    EXPECT_TRUE(HasTrayIcon(*app));
    EXPECT_FALSE(desk.HasTaskbarButton(taskbarForm));
    // Whatever shows, a reveal through it leaves something to click.
    if (HasTrayIcon(*app)) {
        desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
    } else {
        desk.ClickTaskbarButton(taskbarForm);
    }
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_TRUE(HasTrayIcon(*app) || desk.HasTaskbarButton(taskbarForm));
}

// The window menu's "&Configure" (its Close, SC_CLOSE) however the user
// chooses it, the message laid out as its page says: the pointer's place, the
// accelerator's -1 or the mnemonic's 0 in lParam, and in wParam four low
// bits that Windows keeps for its own use.
TEST_F(DialogTest, TheWindowMenusConfigureOpensItHoweverChosen) {
    using Choice = sim::MenuChoice;
    struct Case {
        Choice how;
        std::uint32_t systemBits;
    };
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    for (Case c : {Case{Choice::Mouse, 0}, Case{Choice::Mnemonic, 0}, Case{Choice::Accelerator, 0},
                   Case{Choice::Mouse, 0x2}, Case{Choice::Mnemonic, 0xF}}) {
        SCOPED_TRACE(::testing::Message()
                     << "choice " << static_cast<int>(c.how) << ", bits " << c.systemBits);
        bool opened = false;
        desk.At(10, [&] {
            opened = app->ConfigureDialogForm() != nullptr;
            if (opened) PressKey(Dialog(), platform::VK_ESCAPE);
        });
        desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure", c.how, c.systemBits);
        desk.Run();
        EXPECT_TRUE(opened);
        EXPECT_EQ(app->ConfigureDialogForm(), nullptr);
        EXPECT_TRUE(Alive(pid));
    }
}

TEST_F(DialogTest, ClosingDoesNotCountAsAClickOnTheTaskbarButton) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    OpenFromWindowMenu([&] { PressKey(Dialog(), platform::VK_ESCAPE); });
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
}

// Started with the shell away, nothing of the user's to hand to, the
// taskbar form stays active and restored; its close command opens the
// dialog. Closed, the dialog hands the activation back, and the form goes to
// rest: left restored, Windows' hand-off as the user's window closes would
// activate it, a click to the program.
TEST_F(DialogTest, ClosedItLeavesTheTaskbarFormAtRest) {
    const Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    desk.Minimise(editor);
    desk.EndShell();
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    const Hwnd taskbarForm = app->TaskbarForm().hWnd();
    ASSERT_EQ(desk.Active(), taskbarForm);
    desk.At(10, [&] { PressKey(Dialog(), platform::VK_ESCAPE); });
    desk.PressAltF4();
    desk.Run();
    EXPECT_EQ(app->ConfigureDialogForm(), nullptr);
    EXPECT_NE(desk.Active(), taskbarForm);
    EXPECT_TRUE(WindowOf(taskbarForm).minimised);
    desk.DestroyWindow(editor);
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
}

TEST_F(DialogTest, EveryOpeningStartsAgainInTheConfigureView) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    OpenFromWindowMenu([&] {
        ClickControl(Dialog(), Controls().viewButton);
        desk.PressClose(Dialog().hWnd());
    });
    OpenFromWindowMenu([&] {
        EXPECT_FALSE(InAboutView());
        EXPECT_EQ(Controls().aboutText.Caption(), "Text1");
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
}

TEST_F(DialogTest, OpeningItAgainWhileOpenBringsTheOpenOneToTheFront) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    desk.At(10, [&] { desk.ChooseMenuItem("&Configure"); });
    desk.At(20, [&] {
        desk.Activate(desk.Shell());
        desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure");
        EXPECT_EQ(Titled("Configure Quorvel"), 1u);
        EXPECT_EQ(desk.Active(), Dialog().hWnd());
    });
    desk.At(500, [&] { PressKey(Dialog(), platform::VK_ESCAPE); });
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId, true);
    EXPECT_EQ(app->ConfigureDialogForm(), nullptr);
}

// --- the activation timer ---

// Each tick that finds the dialog brings it to the front: sent behind
// before the first tick, it is in front after it, and sent behind again
// after that it stays there, the timer stopped.
TEST_F(DialogTest, TheTimerStopsOnItsFirstTickThatFindsTheDialog) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    std::uint64_t opened = desk.Now();
    desk.At(1, [&] {
        EXPECT_EQ(app->IconHostControls().activationTimer.Interval(), 100);
        desk.Activate(desk.Shell());  // the dialog went behind
    });
    desk.At(150, [&] {
        EXPECT_EQ(app->IconHostControls().activationTimer.Interval(), 0);
        EXPECT_EQ(desk.Active(), Dialog().hWnd());  // brought to the front
        desk.Activate(desk.Shell());
    });
    desk.At(500, [&] {
        EXPECT_EQ(desk.Active(), desk.Shell()) << "a later tick brought the dialog forward";
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
    desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure");
    EXPECT_GE(desk.Now(), opened + 500);
    desk.Run(1000);
    EXPECT_EQ(desk.RunningTimers(), 0u);
}

// The About view's title is not the one the timer looks for: the dialog,
// sent behind, stays there until the configure view's title is back.
TEST_F(DialogTest, TheTimerKeepsPollingWhileOnlyTheAboutViewsTitleShows) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    desk.At(1, [&] {
        ClickControl(Dialog(), Controls().viewButton);
        desk.Activate(desk.Shell());
    });
    desk.At(350, [&] {
        EXPECT_EQ(app->IconHostControls().activationTimer.Interval(), 100);
        EXPECT_EQ(desk.Active(), desk.Shell());
        ClickControl(Dialog(), Controls().viewButton);  // "Configure Quorvel" again
    });
    desk.At(450, [&] {
        EXPECT_EQ(app->IconHostControls().activationTimer.Interval(), 0);
        EXPECT_EQ(desk.Active(), Dialog().hWnd());
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
    desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure");
    EXPECT_EQ(desk.RunningTimers(), 0u);
}

TEST_F(DialogTest, AnotherProgramsWindowWithTheTitleStopsThePollingToo) {
    ASSERT_NE(StartWith(kTaskbarOnly), nullptr);
    desk.At(1, [&] {
        ClickControl(Dialog(), Controls().viewButton);
        desk.CreateAppWindow("Configure Quorvel");
    });
    desk.At(150, [&] {
        EXPECT_EQ(app->IconHostControls().activationTimer.Interval(), 0);
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
    desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure");
}

TEST_F(DialogTest, ClosedBeforeAnyTickTheTimerPollsOnUntilTheDialogIsBack) {
    ASSERT_NE(StartWith(kBothIcons), nullptr);
    desk.At(1, [&] { PressKey(Dialog(), platform::VK_ESCAPE); });
    desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure");
    desk.Run(1000);
    EXPECT_EQ(app->IconHostControls().activationTimer.Interval(), 100);
    desk.At(10, [&] { desk.ChooseMenuItem("&Configure"); });
    desk.At(300, [&] {
        EXPECT_EQ(app->IconHostControls().activationTimer.Interval(), 0);
        PressKey(Dialog(), platform::VK_ESCAPE);
    });
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId, true);
    EXPECT_EQ(desk.RunningTimers(), 0u);
}

}  // namespace
}  // namespace quorvel::testing
