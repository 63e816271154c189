// The program's rules about other programs' windows (the window the
// activation is handed to, the windows a minimise-all would take, the
// running instance's window), asked of the same windows on both window
// systems: the simulated desktop's facts and Wine's must give the same
// answers, and the answers must be the rules'.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <vector>

#include "conformance/window_rules_target.h"
#include "platform/hand_away.h"
#include "platform/minimisable_windows.h"
#include "platform/running_instance.h"

namespace quorvel::testing {
namespace {

using platform::Hwnd;

class WindowRulesConformance : public ::testing::Test {
protected:
    static void TearDownTestSuite() { EndWindowRules(); }
};

bool Contains(const std::vector<Hwnd>& windows, Hwnd window) {
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

TEST_F(WindowRulesConformance, EachRuleTellsTheKindsOfAnotherProgramsWindowApart) {
    WindowRulesTarget& t = WindowRules();
    const struct {
        const char* name;
        Kind kind;
        bool minimisable;   // in the list a minimise-all's watch counts
        bool takesAsUsers;  // handed the activation as the user's window
        bool foundInFront;  // handed it as the front-most window, when no user's is known
    } cases[] = {
        {"plain", Kind::Plain, true, true, true},
        {"untitled: nobody's working window", Kind::Untitled, true, true, false},
        {"a tool window", Kind::Tool, false, false, false},
        {"owned: its owner is minimised with it", Kind::Owned, false, true, true},
        {"disabled, behind its own dialog", Kind::Disabled, false, false, false},
        {"no minimise button", Kind::NoMinimiseBox, false, true, true},
        {"minimised already", Kind::Minimised, false, false, false},
        {"hidden", Kind::Hidden, false, false, false},
        {"cloaked", Kind::Cloaked, false, false, false},
        {"off the virtual screen", Kind::OffScreen, true, true, false},
        {"never activated", Kind::NoActivate, true, false, false},
        {"click-through", Kind::Transparent, true, false, false},
        {"a taskbar, by its class", Kind::Taskbar, true, true, false},
        {"the running instance's application window", Kind::Instance, false, false, false},
    };
    platform::WindowFacts& facts = t.facts();
    int asked = 0;
    for (const auto& c : cases) {
        const Hwnd window = t.Window(c.kind);
        if (window == 0) {  // this window system cannot make it
            std::cout << "not made on this window system: " << c.name << "\n";
            continue;
        }
        ++asked;
        EXPECT_EQ(Contains(platform::MinimisableWindows(facts), window), c.minimisable) << c.name;
        EXPECT_EQ(platform::NextWindowOfOtherProgram(facts, window) == window, c.takesAsUsers)
            << c.name;
        ASSERT_TRUE(t.ToFront(window)) << c.name;
        const Hwnd found = platform::NextWindowOfOtherProgram(facts, 0);
        EXPECT_EQ(found == window, c.foundInFront)
            << c.name << "; found " << found << " of the class \"" << facts.ClassOf(found)
            << "\", titled with " << facts.TitleLength(found) << " characters, "
            << (facts.ProcessOf(found) == facts.ProcessOf(window) ? "the other program's"
                                                                  : "of another process");
    }
    EXPECT_GE(asked, 13);
    // This program's own windows are nobody's to hand the activation to, nor
    // the shell's to minimise for it.
    const Hwnd own = t.OwnWindow(Kind::Plain);
    EXPECT_FALSE(Contains(platform::MinimisableWindows(facts), own));
    EXPECT_NE(platform::NextWindowOfOtherProgram(facts, own), own);
    ASSERT_TRUE(t.ToFront(own));
    EXPECT_NE(platform::NextWindowOfOtherProgram(facts, 0), own);
    // A window gone is no user's window any more.
    EXPECT_NE(platform::NextWindowOfOtherProgram(facts, 0x7FF0), 0x7FF0u);
}

TEST_F(WindowRulesConformance, TheRunningInstanceIsAnotherProcesssWindowOfTheApplicationClass) {
    WindowRulesTarget& t = WindowRules();
    const Hwnd running = t.Window(Kind::Instance);
    ASSERT_NE(running, 0u);
    // Our own of the class, in front of it, is no running instance.
    t.ToFront(t.OwnWindow(Kind::Instance));
    EXPECT_EQ(platform::RunningInstanceWindow(t.facts()), running);
}

}  // namespace
}  // namespace quorvel::testing
