// The show-desktop command and its trigger on the taskbar button.
#include <algorithm>
#include <optional>

#include "platform/constants.h"
#include "reveal/minimise_check.h"
#include "unit/sim_fixture.h"

namespace quorvel::testing {
namespace {

class RevealTest : public SimTest {
protected:
    // A window of another program, to be minimised.
    Hwnd Editor() {
        if (editor == 0) editor = desk.CreateAppWindow("Untitled - Notepad");
        return editor;
    }
    Hwnd editor = 0;
};

TEST_F(RevealTest, StartUpActivationOnlyMarksThenEveryClickReveals) {
    Editor();
    App* app = Start();
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(app->Reveal().StartUpActivationSeen());
    EXPECT_EQ(desk.MinimiseAllCount(), 0);
    EXPECT_FALSE(W(editor).minimised);

    Hwnd form1 = app->TaskbarForm().hWnd();
    for (int click = 1; click <= 5; ++click) {
        desk.ClickTaskbarButton(form1);
        desk.Run();
        EXPECT_EQ(desk.MinimiseAllCount(), click);
        EXPECT_TRUE(W(editor).minimised) << "click " << click;
        // A reveal with everything minimised already sends the same keys again.
    }
    EXPECT_TRUE(desk.HasTaskbarButton(form1));
}

// When the program brings the shell's window forward for the keys, Form1
// is hidden, so that its button is not among what the shell minimises, yet
// neither moved nor sized: hidden where it stands. It is shown again and
// back off the screen once the keys are sent.
TEST_F(RevealTest, Form1IsHiddenInPlaceWhileTheShellMinimisesAll) {
    Editor();
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd form1 = app->TaskbarForm().hWnd();
    const sim::Window atRest = W(form1);
    ASSERT_EQ(atRest.x, kOffScreenPixels);
    std::optional<sim::Window> during;
    sim::Window& shell = *desk.Find(desk.Shell());
    const auto own = shell.proc;
    shell.proc = [&](std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam) {
        if (msg == platform::WM_ACTIVATE && (wParam & 0xFFFF) != 0) during = W(form1);
        if (own) own(msg, wParam, lParam);
    };
    desk.ClickTaskbarButton(form1);
    desk.Run();
    // What is looked at here goes with this test; the shell stays.
    desk.Find(desk.Shell())->proc = own;
    ASSERT_TRUE(during.has_value()) << "the shell was never brought forward";
    EXPECT_EQ(desk.MinimiseAllCount(), 1);
    EXPECT_FALSE(during->visible);
    EXPECT_FALSE(during->minimised);
    EXPECT_EQ(during->x, atRest.x);
    EXPECT_EQ(during->y, atRest.y);
    EXPECT_EQ(during->width, atRest.width);
    EXPECT_EQ(during->height, atRest.height);
    EXPECT_TRUE(W(form1).visible);
    EXPECT_TRUE(desk.HasTaskbarButton(form1));
    EXPECT_EQ(W(form1).x, kOffScreenPixels);
    EXPECT_EQ(W(form1).y, kOffScreenPixels);
}

TEST_F(RevealTest, TaskbarButtonIsBackAndBothFormsOffScreenAfterAReveal) {
    for (const char* mode : {kTaskbarOnly, kBothIcons}) {
        StoreMode(mode);
        App* app = Start();
        ASSERT_NE(app, nullptr);
        Hwnd form1 = app->TaskbarForm().hWnd();
        desk.Find(form1)->x = 0;
        desk.ClickTaskbarButton(form1);
        desk.Run();
        EXPECT_TRUE(desk.HasTaskbarButton(form1)) << "mode " << mode;
        EXPECT_EQ(W(form1).x, kOffScreenPixels);
        EXPECT_EQ(W(app->IconHostForm().hWnd()).y, kOffScreenPixels);
        EXPECT_FALSE(W(app->IconHostForm().hWnd()).visible);
        desk.ShutDown();
    }
}

TEST_F(RevealTest, InTrayOnlyModeARevealLeavesNoTaskbarButton) {
    StoreMode(kTrayOnly);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
    desk.Run();
    EXPECT_EQ(desk.MinimiseAllCount(), 1);
    EXPECT_FALSE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
}

TEST_F(RevealTest, NoRevealWhileTheDialogIsOpen) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd form1 = app->TaskbarForm().hWnd();
    desk.At(50, [&] {
        ASSERT_TRUE(app->DialogVisible());
        desk.Activate(form1);  // e.g. the taskbar button, while the dialog shows
        desk.RunPending();
        EXPECT_EQ(desk.MinimiseAllCount(), 0);
        desk.PressClose(app->ConfigureDialogForm()->hWnd());
    });
    desk.ChooseWindowMenu(form1, "&Configure");
    EXPECT_FALSE(app->DialogVisible());
    EXPECT_EQ(desk.MinimiseAllCount(), 0);
}

// No window titled "Program Manager" exists.
class NoShellRevealTest : public SimTest {
protected:
    NoShellRevealTest() : SimTest(false) {}
};

TEST_F(NoShellRevealTest, KeysAreNotTypedIntoTheUsersWindowAndTheButtonComesBack) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    Hwnd form1 = app->TaskbarForm().hWnd();
    desk.ClickTaskbarButton(form1);
    desk.Run();
    EXPECT_EQ(W(editor).typed, "");
    EXPECT_TRUE(desk.HasTaskbarButton(form1));
    EXPECT_EQ(W(form1).x, kOffScreenPixels);
}

// Under the foreground lock the shell's window cannot be activated: the keys
// would land in the user's document, so none are sent.
TEST_F(RevealTest, NoKeysWhenTheShellCannotBeActivated) {
    StoreMode(kBothIcons);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd editor = Editor();
    desk.foregroundLocked = true;
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
    desk.Run();
    EXPECT_EQ(desk.Active(), editor);
    EXPECT_EQ(W(editor).typed, "");
    EXPECT_EQ(desk.MinimiseAllCount(), 0);
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    EXPECT_EQ(W(app->TaskbarForm().hWnd()).x, kOffScreenPixels);
}

// SetWindowPos without SWP_NOACTIVATE activates Form1, also from the tray
// icon's callback and in a second instance: that activation is the program's
// own and must not start a second reveal.
TEST_F(RevealTest, OwnActivationOfForm1DuringARevealIsNoClick) {
    StoreMode(kBothIcons);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
    desk.Run();
    EXPECT_EQ(desk.MinimiseAllCount(), 1);
    // ... and the next click on the taskbar button is still one reveal.
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run();
    EXPECT_EQ(desk.MinimiseAllCount(), 2);

    // A second start while the first has just revealed: one reveal more.
    EXPECT_EQ(Start(), nullptr);
    desk.Run();
    EXPECT_EQ(desk.MinimiseAllCount(), 3);
}

// A desktop of its own for each case of a table.
struct World : SimTest {
    using SimTest::desk, SimTest::Start, SimTest::StoreMode;
    void TestBody() override {}
};

// Where the shell ignores its keys (a taskbar that does not take Alt+M, or
// one too busy to take Tab before Alt+M comes), the program asks it the other
// way once it has seen nothing minimised: the shell's automation object, else
// Windows key + M; and at once for the requests after. Never where the keys
// worked, never twice for one request, never with nothing to minimise.
TEST(MinimiseAllCheckTest, AShellThatIgnoresItsKeysIsAskedTheOtherWayOnce) {
    const struct {
        const char* name;
        sim::ShellKind kind;
        bool shellObjectWorks;
        bool busy;
        bool hidesWhenMinimised;
        int shellObjectCalls, winMPresses;  // for the first request
    } cases[] = {
        {"no Alt+M, shell object works", sim::ShellKind::WindowsLayoutWithoutAltM, true, false,
         false, 1, 0},
        {"no Alt+M, shell object fails", sim::ShellKind::WindowsLayoutWithoutAltM, false, false,
         false, 1, 1},
        {"no Alt+M, a window that hides", sim::ShellKind::WindowsLayoutWithoutAltM, false, false,
         true, 1, 1},
        {"Windows' layout, busy shell", sim::ShellKind::WindowsLayout, false, true, false, 1, 1},
        {"Windows' layout", sim::ShellKind::WindowsLayout, false, false, false, 0, 0},
        {"Windows' layout, a window that hides", sim::ShellKind::WindowsLayout, false, false, true,
         0, 0},
        {"one window takes the keys", sim::ShellKind::Windows, false, false, false, 0, 0},
    };
    for (const auto& c : cases) {
        World t;
        sim::Desktop& desk = t.desk;
        desk.shellKind = c.kind;
        desk.shellObjectWorks = c.shellObjectWorks;
        Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
        desk.Find(editor)->hidesWhenMinimised = c.hidesWhenMinimised;
        t.StoreMode(kBothIcons);
        App* app = t.Start();
        ASSERT_NE(app, nullptr) << c.name;
        desk.shellBusy = c.busy;
        desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
        desk.Run(600);
        EXPECT_EQ(desk.MinimiseAllCount(), 1) << c.name;
        EXPECT_FALSE(desk.StillShown(editor)) << c.name;
        EXPECT_EQ(desk.shellObjectCalls, c.shellObjectCalls) << c.name;
        EXPECT_EQ(desk.winMPresses, c.winMPresses) << c.name;
        desk.Run(1000);
        EXPECT_EQ(desk.MinimiseAllCount(), 1) << c.name << ": asked twice";

        // The next request: where the keys were ignored, the other way at once.
        desk.Restore(editor);
        desk.Find(editor)->visible = true;
        // Well before the keys could be judged ignored (kWaitMs), the other
        // way has been asked already: it was asked at once.
        static_assert(50 < MinimiseAllCheck::kWaitMs);
        const int askedBefore = desk.shellObjectCalls + desk.winMPresses;
        desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
        desk.Run(50);
        EXPECT_EQ(desk.MinimiseAllCount(), 2) << c.name << ": the second request";
        const bool atOnce = desk.shellObjectCalls + desk.winMPresses > askedBefore;
        EXPECT_EQ(atOnce, c.shellObjectCalls > 0) << c.name;
        desk.Run(1000);
        EXPECT_EQ(desk.MinimiseAllCount(), 2) << c.name << ": the second request asked twice";
    }
}

// On Windows a wait with a timeout ends on the system timer's next tick
// (15.625 ms by default; "timeBeginPeriod": since Windows 10 2004 another
// program's request no longer shortens it), where under Wine it lasts what it
// asks. The reveal's waits end when the shell's event comes (a window in
// front, a window focused: SetWinEventHook) or at their bound, to the
// microsecond (a high-resolution waitable timer): under each kind of shell,
// for each request, on Windows' clock and on Wine's. At rest the program
// holds no hook and no timer, and nothing wakes it.
TEST(RevealClockTest, TheWaitsEndOnTheShellsEventsOrAtTheirBoundsNeverOnATick) {
    enum Request { Button, Tray, SecondStart };
    const struct {
        std::uint64_t tickUs;
        bool highResolution;  // Windows 10 version 1803 and later
    } clocks[] = {
        {sim::kWindowsTickUs, true}, {sim::kWineTickUs, true}, {sim::kWindowsTickUs, false}};
    for (const auto& clock : clocks) {
        for (sim::ShellKind kind : sim::kShellKinds) {
            for (Request request : {Button, Tray, SecondStart}) {
                const std::string name = std::string(sim::ShellKindName(kind)) + ", request " +
                                         std::to_string(request) + ", tick " +
                                         std::to_string(clock.tickUs) +
                                         (clock.highResolution ? "" : ", no precise timer");
                World t;
                sim::Desktop& desk = t.desk;
                desk.tickUs = clock.tickUs;
                desk.highResolutionTimers = clock.highResolution;
                desk.shellKind = kind;
                desk.CreateAppWindow("Untitled - Notepad");
                t.StoreMode(kBothIcons);
                App* app = t.Start();
                ASSERT_NE(app, nullptr) << name;
                desk.Run(1000);
                desk.keysSent.clear();
                desk.keysHandledByShell.clear();
                const std::uint64_t asked = desk.NowUs();
                if (request == Button) desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
                if (request == Tray) desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
                if (request == SecondStart) {
                    EXPECT_EQ(t.Start(), nullptr) << name;
                }
                desk.Run(1000);

                auto sent = [&](std::uint8_t vk) {
                    auto it = std::find_if(desk.keysSent.begin(), desk.keysSent.end(),
                                           [&](const auto& k) { return k.vk == vk && !k.up; });
                    return it == desk.keysSent.end() ? ~std::uint64_t{0} : it->us;
                };
                const std::uint64_t tab = sent(platform::VK_TAB), m = sent('M');
                ASSERT_NE(m, ~std::uint64_t{0}) << name << ": no Alt+M";
                // A millisecond for what a click on the button sent (a tick
                // where no precise timer ends it; nothing for the others),
                // then the shell's step that takes its activation.
                const std::uint64_t first = request != Button      ? 0
                                            : clock.highResolution ? 1000
                                                                   : clock.tickUs;
                EXPECT_LE(tab - asked, first + desk.shellStepUs) << name;
                if (desk.TwoThreads()) {
                    // Alt+M goes as the taskbar takes the keyboard, the step
                    // after the shell's desktop handled Tab.
                    ASSERT_FALSE(desk.keysHandledByShell.empty()) << name;
                    const auto& handled = desk.keysHandledByShell.front();
                    EXPECT_EQ(handled.vk, platform::VK_TAB) << name;
                    EXPECT_LE(m - handled.us, desk.shellStepUs) << name;
                } else if (clock.highResolution) {
                    // One window takes both keys: the keyboard never moves,
                    // and the bound is what it costs.
                    EXPECT_EQ(m - tab, 4000u) << name;
                } else {
                    EXPECT_LE(m - tab, clock.tickUs) << name;
                }

                desk.Run(1000);
                const int fired = desk.timerFires;
                desk.Run(60'000);
                EXPECT_EQ(desk.timerFires, fired) << name << ": woken at rest";
                EXPECT_EQ(desk.RunningTimers(), 0u) << name;
                EXPECT_EQ(desk.winEventHooks, 0) << name;
                EXPECT_EQ(desk.waitableTimers, 0) << name;
            }
        }
    }
}

TEST(MinimiseAllCheckTest, WithNothingToMinimiseNothingIsAskedAfterTheKeys) {
    World t;
    t.desk.shellKind = sim::ShellKind::WindowsLayoutWithoutAltM;
    App* app = t.Start();
    ASSERT_NE(app, nullptr);
    t.desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    t.desk.Run(1000);
    EXPECT_TRUE(app->Reveal().KeysIgnored() == false);
    EXPECT_EQ(t.desk.shellObjectCalls, 0);
    EXPECT_EQ(t.desk.winMPresses, 0);
    // A second start too, which waits for nothing.
    EXPECT_EQ(t.Start(), nullptr);
    t.desk.Run(1000);
    EXPECT_EQ(t.desk.shellObjectCalls + t.desk.winMPresses, 0);
}

}  // namespace
}  // namespace quorvel::testing
