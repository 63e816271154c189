// The notification-area icon, the icon mode and the taskbar button's window menu.
#include <cstring>

#include "icon/notify_icon_record.h"
#include "platform/constants.h"
#include "unit/sim_fixture.h"

namespace quorvel::testing {
namespace {

std::uint32_t At(const NotifyIconRecord& r, std::size_t offset) {
    std::uint32_t v;
    std::memcpy(&v, r.data() + offset, 4);
    return v;
}

TEST(NotifyIconRecord, AddRecordHoldsEveryFieldAtItsOffset) {
    NotifyIconRecord r = BuildAddRecord(0x12345678, 0xCAFE, "Show Desktop");
    EXPECT_EQ(At(r, 0), 88u);
    EXPECT_EQ(At(r, 4), 0x12345678u);
    EXPECT_EQ(At(r, 8), 1u);
    EXPECT_EQ(At(r, 12), 7u);
    EXPECT_EQ(At(r, 16), 512u);
    EXPECT_EQ(At(r, 20), 0xCAFEu);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 24), 12), "Show Desktop");
    EXPECT_EQ(r[36], 0);
    for (std::size_t i = 37; i < 88; ++i) EXPECT_EQ(r[i], ' ') << "byte " << i;
}

TEST(NotifyIconRecord, TipOf63CharactersEndsWithItsNulInTheLastByte) {
    std::string tip(63, 'q');
    NotifyIconRecord r = BuildAddRecord(1, 2, tip);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 24), 63), tip);
    EXPECT_EQ(r[87], 0);
    // A longer tip is cut so that the terminating zero still fits.
    NotifyIconRecord longer = BuildAddRecord(1, 2, std::string(80, 'q'));
    EXPECT_EQ(longer[87], 0);
    EXPECT_EQ(longer[86], 'q');
}

TEST(NotifyIconRecord, DeleteRecordIdentifiesTheIconOnly) {
    NotifyIconRecord r = BuildDeleteRecord(0x00ABCDEF);
    EXPECT_EQ(At(r, 0), 88u);
    EXPECT_EQ(At(r, 4), 0x00ABCDEFu);
    EXPECT_EQ(At(r, 8), 1u);
    EXPECT_EQ(At(r, 12), 7u);
    EXPECT_EQ(At(r, 16), 1u);
    EXPECT_EQ(At(r, 20), 0u);
    for (std::size_t i = 24; i < 88; ++i) EXPECT_EQ(r[i], 0) << "byte " << i;
}

class IconModeTest : public SimTest {
protected:
    // Re-applies the mode as the dialog's OK and Cancel do.
    void Apply(App& app) {
        int pid = lastPid;
        desk.Drive([&] {
            auto running = desk.InProcess(pid);
            app.ApplyIconMode();
        });
    }
};

TEST_F(IconModeTest, FirstStartStoresTheDefaultAndShowsOnlyTheTaskbarButton) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(StoredMode(), AsStored(kTaskbarOnly));
    EXPECT_EQ(app->IconMode(), TaskbarOnly);
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    EXPECT_EQ(desk.TrayIconCount(), 0u);
}

TEST_F(IconModeTest, EachModeShowsWhatItSays) {
    struct Case {
        const char* stored;
        bool button;
        bool icon;
    };
    for (const Case& c : {Case{"1", false, true}, Case{"2", true, false}, Case{"3", true, true},
                          Case{"7", true, false}, Case{"junk", true, false}}) {
        StoreMode(c.stored);
        App* app = Start();
        ASSERT_NE(app, nullptr);
        EXPECT_EQ(desk.HasTaskbarButton(app->TaskbarForm().hWnd()), c.button)
            << "mode " << c.stored;
        const sim::TrayIcon* icon = desk.FindTrayIcon(app->IconHostForm().hWnd(), 1);
        EXPECT_EQ(icon != nullptr, c.icon) << "mode " << c.stored;
        if (icon != nullptr) {
            EXPECT_EQ(icon->tip, "Show Desktop");
            EXPECT_EQ(icon->callbackMessage, 512u);
            EXPECT_EQ(icon->icon, app->TaskbarControls().picture.Picture());
            EXPECT_NE(icon->icon, 0u);
        }
        // Both forms are shrunk to 1 twip and kept off the screen.
        EXPECT_EQ(WindowOf(app->TaskbarForm().hWnd()).width, 0);
        EXPECT_EQ(WindowOf(app->IconHostForm().hWnd()).height, 0);
        desk.ShutDown();
        EXPECT_EQ(desk.TrayIconCount(), 0u);
    }
}

TEST_F(IconModeTest, ApplyingAModeAgainLeavesExactlyOneIcon) {
    StoreMode(kBothIcons);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Apply(*app);
    Apply(*app);
    EXPECT_EQ(desk.TrayIconCount(), 1u);
    EXPECT_EQ(desk.seen.CountCalls("Shell_NotifyIconA(NIM_DELETE)"),
              3u);  // delete before every add
    EXPECT_EQ(desk.seen.CountCalls("Shell_NotifyIconA(NIM_ADD)"), 3u);
}

TEST_F(IconModeTest, SwitchingModesShowsAndHidesTheButtonAndTheIcon) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd taskbarForm = app->TaskbarForm().hWnd();
    StoreMode(kTrayOnly);
    Apply(*app);
    EXPECT_FALSE(desk.HasTaskbarButton(taskbarForm));
    EXPECT_EQ(desk.TrayIconCount(), 1u);
    StoreMode(kBothIcons);
    Apply(*app);
    EXPECT_TRUE(desk.HasTaskbarButton(taskbarForm));
    EXPECT_EQ(desk.TrayIconCount(), 1u);
    StoreMode(kTaskbarOnly);
    Apply(*app);
    EXPECT_TRUE(desk.HasTaskbarButton(taskbarForm));
    EXPECT_EQ(desk.TrayIconCount(), 0u);
    // Back from tray-only, the first click on the button reveals.
    StoreMode(kTrayOnly);
    Apply(*app);
    StoreMode(kTaskbarOnly);
    Apply(*app);
    desk.ClickTaskbarButton(taskbarForm);
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
}

TEST_F(IconModeTest, StartedTrayOnlyThenSwitchedTheFirstClickOnTheButtonReveals) {
    StoreMode(kTrayOnly);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    StoreMode(kTaskbarOnly);
    Apply(*app);
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
}

TEST_F(IconModeTest, AShellThatRefusesTheIconLeavesTheProgramRunning) {
    StoreMode(kBothIcons);
    desk.tray.refuseCalls = true;
    App* app = Start();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(desk.TrayIconCount(), 0u);
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
}

// A shell still starting at log-on refuses the first adds.
TEST_F(IconModeTest, AnIconTheShellRefusedAtStartUpComesOnceTheShellTakesItThenNoTimerRuns) {
    for (const char* mode : {kTrayOnly, kBothIcons}) {
        StoreMode(mode);
        desk.tray.refuseAdds = 3;
        desk.seen.calls.clear();
        int reveals = desk.seen.minimiseAlls;
        App* app = Start();
        ASSERT_NE(app, nullptr);
        EXPECT_FALSE(HasTrayIcon(*app)) << "mode " << mode;
        EXPECT_EQ(desk.RunningTimers(), 1u) << "mode " << mode;
        desk.Run(60'000);
        EXPECT_TRUE(HasTrayIcon(*app)) << "mode " << mode;
        EXPECT_EQ(desk.TrayIconCount(), 1u);
        EXPECT_EQ(desk.seen.CountCalls("Shell_NotifyIconA(NIM_ADD)"), 4u) << "mode " << mode;
        EXPECT_EQ(desk.RunningTimers(), 0u) << "mode " << mode;
        // The icon works as one added at once.
        desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1);
        desk.Run();
        EXPECT_EQ(desk.seen.minimiseAlls, reveals + 1) << "mode " << mode;
        desk.ShutDown();
        ASSERT_EQ(desk.TrayIconCount(), 0u);
    }
}

TEST_F(IconModeTest, AShellThatNeverTakesTheIconIsAskedABoundedNumberOfTimes) {
    StoreMode(kTrayOnly);
    desk.tray.refuseCalls = true;
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.Run(10 * 60'000);
    EXPECT_EQ(desk.RunningTimers(), 0u);
    std::size_t tries = desk.seen.CountCalls("Shell_NotifyIconA(NIM_ADD)");
    EXPECT_GT(tries, 10u);
    EXPECT_LE(tries, 100u);
    desk.Run(10 * 60'000);
    EXPECT_EQ(desk.seen.CountCalls("Shell_NotifyIconA(NIM_ADD)"), tries);
    EXPECT_TRUE(Alive(lastPid));
}

TEST_F(IconModeTest, SwitchingToTheTaskbarButtonStopsAPendingRetry) {
    StoreMode(kBothIcons);
    desk.tray.refuseAdds = 1000;
    App* app = Start();
    ASSERT_NE(app, nullptr);
    ASSERT_EQ(desk.RunningTimers(), 1u);
    StoreMode(kTaskbarOnly);
    Apply(*app);
    EXPECT_EQ(desk.RunningTimers(), 0u);
    desk.tray.refuseAdds = 0;
    desk.Run(60'000);
    EXPECT_FALSE(HasTrayIcon(*app));
}

// The taskbar recreated at once, or the shell's process gone for a while
// (its windows and icons with it, nothing to add an icon to meanwhile) and
// started again behind every window.
TEST_F(IconModeTest, ARecreatedTaskbarGetsTheIconBackInModesWithOne) {
    for (bool goneAWhile : {false, true}) {
        for (const char* mode : {kTrayOnly, kTaskbarOnly, kBothIcons}) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << ", gone " << goneAWhile);
            StoreMode(mode);
            App* app = Start();
            ASSERT_NE(app, nullptr);
            bool wanted = std::string(mode) != kTaskbarOnly;
            if (goneAWhile) {
                desk.EndShell();
                EXPECT_EQ(desk.ShellWindow(), 0u);
                EXPECT_EQ(desk.TrayIconCount(), 0u);
                desk.Run(5000);
                EXPECT_EQ(desk.TrayIconCount(), 0u);
                desk.StartShell();
                EXPECT_NE(desk.ShellWindow(), 0u);
            } else {
                desk.RecreateTaskbar();
            }
            EXPECT_EQ(desk.FindTrayIcon(app->IconHostForm().hWnd(), 1) != nullptr, wanted);
            EXPECT_EQ(desk.TrayIconCount(), wanted ? 1u : 0u);
            desk.ShutDown();
        }
    }
}

TEST_F(IconModeTest, WindowMenuReadsConfigureWhereCloseWasAndStillCloses) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    const auto& menu = WindowOf(app->TaskbarForm().hWnd()).systemMenu;
    std::vector<std::string> texts;
    for (const auto& e : menu) texts.push_back(e.separator ? "-" : e.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"&Restore", "&Size", "Mi&nimize", "Ma&ximize",
                                               "&Configure"}));
    EXPECT_EQ(menu.back().id, platform::SC_CLOSE);

    // Choosing it is a close request with UnloadMode 0: the dialog opens and
    // the program keeps running.
    int pid = lastPid;
    bool opened = false;
    desk.At(10, [&] {
        opened = app->DialogVisible();
        desk.PressClose(app->ConfigureDialogForm()->hWnd());
    });
    desk.ChooseWindowMenu(app->TaskbarForm().hWnd(), "&Configure");
    EXPECT_TRUE(opened);
    EXPECT_TRUE(Alive(pid));
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
}

}  // namespace
}  // namespace quorvel::testing
