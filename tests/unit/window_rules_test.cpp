// What the window rules answer where the conformance test's windows cannot
// show it under Wine: no window of the user's open, and a monitor left of
// the main one.
#include <gtest/gtest.h>

#include "platform/hand_away.h"
#include "sim/backend/sim_window_facts.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {
namespace {

using platform::Hwnd;

TEST(WindowRulesTest, WithNothingOfTheUsersTheActivationGoesToTheShellsDesktopElseItsTaskbar) {
    const struct {
        const char* name;
        bool registersWindow;  // GetShellWindow answers its desktop
        bool titled;           // its desktop is titled "Program Manager"
        bool taskbar;
        int handedTo;  // 0 none, 1 the desktop, 2 the taskbar
    } cases[] = {
        {"the registered desktop", true, true, true, 1},
        {"registered, whatever its title", true, false, true, 1},
        {"unregistered, found by its title", false, true, true, 1},
        {"neither: the taskbar", false, false, true, 2},
        {"nothing of the shell's at all", false, false, false, 0},
    };
    for (const auto& c : cases) {
        sim::Desktop desk(false);
        desk.shell.registersWindow = c.registersWindow;
        const int own = desk.NewProcess("quorvel.exe");
        sim::Window hidden;  // the user's windows: none shown
        hidden.title = "a document";
        hidden.minimiseBox = true;
        desk.CreateWindow(desk.NewProcess("editor"), hidden);
        desk.StartShell();
        if (!c.titled) desk.Find(desk.Shell())->title = "Desktop";
        if (!c.taskbar) desk.DestroyWindow(desk.Taskbar());
        // Its desktop no program would hand the activation to in the z-order.
        desk.Find(desk.Shell())->visible = false;
        sim::SimWindowFacts facts(desk, own);
        const Hwnd expected = c.handedTo == 1 ? desk.Shell() : c.handedTo == 2 ? desk.Taskbar() : 0;
        EXPECT_EQ(platform::NextWindowOfOtherProgram(facts, 0), expected) << c.name;
    }
}

TEST(WindowRulesTest, AWindowIsOffTheScreenOnlyBeyondTheVirtualScreensLeftOrTopEdge) {
    sim::Desktop desk;
    desk.display.monitors = {{0, 0, 1024, 768}, {-1280, -200, 1280, 1024}};
    const int own = desk.NewProcess("quorvel.exe");
    const int other = desk.NewProcess("editor");
    const struct {
        const char* name;
        int x, y;
        bool found;
    } cases[] = {
        {"on the main monitor", 100, 100, true},
        {"on the monitor left of it", -900, 100, true},
        {"above the main monitor, on the left one", -900, -150, true},
        {"beyond the left one", -1700, 100, false},
        {"above every monitor", 100, -500, false},
    };
    for (const auto& c : cases) {
        sim::Window w;
        w.title = "a document";
        w.visible = true;
        w.minimiseBox = true;
        w.x = c.x;
        w.y = c.y;
        w.width = 300;
        w.height = 200;
        const Hwnd window = desk.CreateWindow(other, w);
        sim::SimWindowFacts facts(desk, own);
        EXPECT_EQ(platform::NextWindowOfOtherProgram(facts, 0) == window, c.found) << c.name;
        desk.DestroyWindow(window);
    }
}

}  // namespace
}  // namespace quorvel::testing
