// The simulated desktop's own rules, where they stand in for Windows' or
// Wine's: the program's tests are only as good as these.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "platform/constants.h"
#include "platform/keys.h"
#include "sim/backend/sim_winapi.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {
namespace {

using platform::Hwnd;

// The simulated shell is no kinder than Wine's: its window is in front at
// once, but takes the keyboard focus only when its thread has handled the
// activation, and keys queued before that are system keys to it.
TEST(SimulatedShellTest, KeysBeforeTheShellHasTakenItsActivationMinimiseNothing) {
    sim::Desktop desk;
    Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    desk.Activate(editor);
    desk.RunPending();
    std::vector<platform::KeyEvent> keys;
    for (const auto& stroke : platform::ParseKeys("{tab}%m")) {
        const auto batch = platform::KeyBatch(stroke, {});
        keys.insert(keys.end(), batch.begin(), batch.end());
    }

    desk.Activate(desk.Shell());
    EXPECT_EQ(desk.Active(), desk.Shell());
    EXPECT_FALSE(desk.HasKeyboardFocus(desk.Shell()));
    desk.QueueKeys(keys);
    desk.RunPending();
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
    EXPECT_FALSE(desk.Find(editor)->minimised);

    ASSERT_TRUE(desk.HasKeyboardFocus(desk.Shell()));
    desk.QueueKeys(keys);
    desk.RunPending();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_TRUE(desk.Find(editor)->minimised);
}

// The shell's process ends: its desktop and taskbar go, the user's window
// keeps the activation, no icon can be added; started again, its new
// windows are behind every other, and the taskbar is created anew.
TEST(SimulatedShellTest, TheShellGoneAndBack) {
    sim::Desktop desk;
    const Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    const Hwnd oldShell = desk.Shell();
    desk.EndShell();
    EXPECT_FALSE(desk.ShellRunning());
    EXPECT_EQ(desk.Find(oldShell), nullptr);
    EXPECT_EQ(desk.ShellWindow(), 0u);
    EXPECT_EQ(desk.Active(), editor);
    desk.StartShell();
    EXPECT_TRUE(desk.ShellRunning());
    EXPECT_NE(desk.ShellWindow(), 0u);
    EXPECT_EQ(desk.ZOrder().back(), desk.Shell());
    EXPECT_EQ(desk.ZOrder().front(), editor);
    EXPECT_EQ(desk.Active(), editor);
}

// The simulated desktop knows Windows' rule: a Windows key or an Alt that
// goes up with no other key since it went down opens the Start menu or enters
// the menu bar; one that went up already, or had a key pressed with it, does
// nothing; the mask key counts as a key.
TEST(SimulatedMenusTest, ALoneWindowsKeyOrAltOpensAMenuAndNothingElseDoes) {
    constexpr std::uint8_t kLeftWin = 0x5B, kLeftAlt = 0xA4, kAlt = 0x12, kShift = 0xA0;
    const struct {
        const char* name;
        std::vector<std::pair<std::uint8_t, bool>> keys;  // key, down
        int startMenus, menuBars;
    } cases[] = {
        {"Windows key alone", {{kLeftWin, true}, {kLeftWin, false}}, 1, 0},
        {"Windows key held and repeated",
         {{kLeftWin, true}, {kLeftWin, true}, {kLeftWin, false}},
         1,
         0},
        {"Alt alone, left and common codes", {{kLeftAlt, true}, {kAlt, false}}, 0, 1},
        {"Windows key with Shift",
         {{kLeftWin, true}, {kShift, true}, {kShift, false}, {kLeftWin, false}},
         0,
         0},
        {"Windows key with the mask key",
         {{kLeftWin, true},
          {platform::kMaskKey, true},
          {platform::kMaskKey, false},
          {kLeftWin, false}},
         0,
         0},
        {"Windows key up twice",
         {{kLeftWin, true}, {'M', true}, {kLeftWin, false}, {kLeftWin, false}},
         0,
         0},
    };
    for (const auto& c : cases) {
        sim::Desktop desk;
        for (auto [vk, down] : c.keys) desk.HoldKey(vk, down);
        EXPECT_EQ(desk.seen.startMenus, c.startMenus) << c.name;
        EXPECT_EQ(desk.seen.menuBars, c.menuBars) << c.name;
    }
}

// The simulated desktop agrees with Wine: hiding with SetWindowPos sends
// only WM_WINDOWPOSCHANGED, so it neither activates nor deactivates, and
// with SWP_NOMOVE and SWP_NOSIZE it neither moves nor sizes.
TEST(SimulatedWindowsTest, HidingWithSetWindowPosKeepsTheActivationAndThePlace) {
    for (sim::ShellKind kind : sim::kShellKinds) {
        for (const bool ownActive : {false, true}) {
            sim::Desktop desk;
            desk.shell.kind = kind;
            const int pid = desk.NewProcess("program");
            sim::Window window;
            window.title = "Desktop";
            window.visible = true;
            window.x = 40;
            window.y = 50;
            window.width = 120;
            window.height = 30;
            const Hwnd own = desk.CreateWindow(pid, window);
            const Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
            const Hwnd active = ownActive ? own : editor;
            desk.Activate(active);
            sim::SimWinApi api(desk, pid);
            api.SetWindowPos(
                own, platform::HWND_NOTOPMOST, 300, 300, 300, 300,
                platform::SWP_NOSIZE | platform::SWP_NOMOVE | platform::SWP_HIDEWINDOW);
            const char* name = sim::ShellKindName(kind);
            EXPECT_EQ(desk.Active(), active) << name << (ownActive ? ", own active" : "");
            const sim::Window& hidden = *desk.Find(own);
            EXPECT_FALSE(hidden.visible) << name;
            EXPECT_EQ(hidden.x, 40) << name;
            EXPECT_EQ(hidden.y, 50) << name;
            EXPECT_EQ(hidden.width, 120) << name;
            EXPECT_EQ(hidden.height, 30) << name;
        }
    }
}

// The simulated desktop refuses the foreground as the "SetForegroundWindow
// function" page says Windows does: a program in the background, not started
// by the program in front and with the user working there, may set it only by
// another of the page's conditions, and never while the program in front
// holds the lock or a menu is open. A right handed on is lost at the user's
// next input elsewhere, and to the next grant. A refusal flashes the
// window's taskbar button until FlashWindowEx stops it.
TEST(SimulatedForegroundTest, OnlyThePagesConditionsLetAProgramInTheBackgroundSetIt) {
    struct Scene {
        sim::Desktop desk;
        Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
        int user = desk.Find(editor)->pid;
        int program = 0, other = 0;
        Hwnd own = 0, ownSecond = 0;
        Scene() {
            desk.processes.startedInBackground = true;
            program = desk.NewProcess("program");
            other = desk.NewProcess("other");
            sim::Window w;
            w.title = "Desktop";
            w.visible = true;
            own = desk.CreateWindow(program, w);
            ownSecond = desk.CreateWindow(program, w);
            desk.foreground.ClickWindow(editor);
        }
    };
    const auto grant = [](Scene& s, int by, int to) {
        return s.desk.foreground.AllowSetForegroundWindow(by, static_cast<std::uint32_t>(to));
    };
    const struct {
        const char* name;
        std::function<void(Scene&)> before;
        bool may;
    } cases[] = {
        {"in the background", [](Scene&) {}, false},
        {"Wine's rules", [](Scene& s) { s.desk.activation.foregroundLocked = false; }, true},
        {"the foreground process", [](Scene& s) { s.desk.Activate(s.ownSecond); }, true},
        {"started by it", [](Scene& s) { s.desk.foreground.Started(s.program, s.user); }, true},
        {"the last input", [](Scene& s) { s.desk.foreground.UserInput(s.program); }, true},
        {"no foreground window",
         [](Scene& s) {
             s.desk.shell.desktopHung = true;
             s.desk.Activate(s.desk.Shell());
         },
         true},
        {"the time-out not yet", [](Scene& s) { s.desk.Run(199'999); }, false},
        {"the time-out expired", [](Scene& s) { s.desk.Run(200'000); }, true},
        {"granted", [&](Scene& s) { EXPECT_TRUE(grant(s, s.user, s.program)); }, true},
        {"granted to all",
         [](Scene& s) { s.desk.foreground.AllowSetForegroundWindow(s.user, sim::ASFW_ANY); }, true},
        {"granted, then input elsewhere",
         [&](Scene& s) {
             grant(s, s.user, s.program);
             s.desk.HoldKey('A', true);
         },
         false},
        {"granted, then granted to another",
         [&](Scene& s) {
             grant(s, s.user, s.program);
             grant(s, s.user, s.other);
         },
         false},
        {"granted by one that may not",
         [&](Scene& s) { EXPECT_FALSE(grant(s, s.other, s.program)); }, false},
        {"locked by the program in front",
         [](Scene& s) {
             s.desk.foreground.UserInput(s.program);
             EXPECT_TRUE(s.desk.foreground.LockSetForegroundWindow(s.user, sim::LSFW_LOCK));
             EXPECT_FALSE(s.desk.foreground.LockSetForegroundWindow(s.other, sim::LSFW_UNLOCK));
         },
         false},
        {"the lock let go by Alt",
         [](Scene& s) {
             s.desk.foreground.Started(s.program, s.user);
             s.desk.foreground.LockSetForegroundWindow(s.user, sim::LSFW_LOCK);
             s.desk.HoldKey(platform::VK_MENU, true);
         },
         true},
        {"a menu open",
         [](Scene& s) {
             s.desk.foreground.Started(s.program, s.user);
             s.desk.foreground.OpenMenu(s.editor);
         },
         false},
    };
    for (const auto& c : cases) {
        Scene s;
        c.before(s);
        EXPECT_EQ(s.desk.foreground.MaySet(s.program), c.may) << c.name;
        EXPECT_EQ(s.desk.foreground.SetForegroundWindow(s.program, s.own), c.may) << c.name;
        EXPECT_EQ(s.desk.Active() == s.own, c.may) << c.name;
        EXPECT_EQ(s.desk.foreground.Flashing(s.own), !c.may) << c.name;
        s.desk.foreground.FlashWindowEx(s.own, sim::FLASHW_STOP);
        EXPECT_FALSE(s.desk.foreground.Flashing(s.own)) << c.name;
        EXPECT_EQ(s.desk.seen.flashesStopped.size(), c.may ? 0u : 1u) << c.name;
    }
}

}  // namespace
}  // namespace quorvel::testing
