// The reveal's waits on Windows' clock and on Wine's: each ends within about
// a millisecond of its change, never on the system timer's tick.
#include <algorithm>
#include <functional>
#include <string>
#include <tuple>

#include "platform/constants.h"
#include "reveal/bounds.h"
#include "unit/reveal_fixture.h"

namespace quorvel::testing {
namespace {

// On Windows a wait with a timeout ends on the system timer's next tick
// (15.625 ms by default; "timeBeginPeriod": from Windows 10 2004 on another
// program's request does not shorten it), where under Wine it lasts what it
// asks. The reveal's waits look every millisecond, woken by a
// high-resolution waitable timer, or before Windows 10 1803 by an ordinary
// one with the system's tick held at 1 ms for the stretch of the keys: each
// ends within about a millisecond of its change, under each kind of shell,
// for each request, on Windows' clock and on Wine's. At rest the tick is the
// system's again and nothing wakes the program.
enum class Request { Button, Tray, SecondStart, TrayAlone };
struct Clock {
    std::uint64_t tickUs;
    bool highResolution;         // Windows 10 version 1803 and later
    std::uint64_t windowLookUs;  // Wine: a round trip to its server per window
};
constexpr Clock kClocks[] = {
    {sim::kWindowsTickUs, true, 0}, {sim::kWineTickUs, true, 40}, {sim::kWindowsTickUs, false, 0}};

class RevealClockTest
    : public ::testing::TestWithParam<std::tuple<Clock, sim::ShellKind, Request>> {};

TEST_P(RevealClockTest, EveryWaitEndsWithinAMillisecondOfItsChangeNeverOnATick) {
    const auto [clock, kind, request] = GetParam();
    World t;
    sim::Desktop& desk = t.desk;
    desk.timing.tickUs = clock.tickUs;
    desk.timing.highResolutionTimers = clock.highResolution;
    desk.timing.windowLookUs = clock.windowLookUs;
    desk.shell.kind = kind;
    desk.CreateAppWindow("Untitled - Notepad");
    // TrayAlone: the icon clicked in tray-only mode, where the command's
    // SetWindowPos activates the hidden taskbar form.
    t.StoreMode(request == Request::TrayAlone ? kTrayOnly : kBothIcons);
    App* app = t.Start();
    ASSERT_NE(app, nullptr);
    desk.Run(1000);
    desk.seen.keysSent.clear();
    desk.seen.keysHandledByShell.clear();
    const std::uint64_t asked = desk.NowUs();
    if (request == Request::Button) desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    if (request == Request::Tray || request == Request::TrayAlone) {
        desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
    }
    if (request == Request::SecondStart) {
        EXPECT_EQ(t.Start(), nullptr);
    }
    desk.Run(1000);

    auto sent = [&](std::uint8_t vk) {
        auto it = std::find_if(desk.seen.keysSent.begin(), desk.seen.keysSent.end(),
                               [&](const auto& k) { return k.vk == vk && !k.up; });
        return it == desk.seen.keysSent.end() ? ~std::uint64_t{0} : it->us;
    };
    const std::uint64_t tab = sent(platform::VK_TAB), m = sent('M');
    ASSERT_NE(m, ~std::uint64_t{0}) << "no Alt+M";
    ASSERT_EQ(desk.seen.minimiseAlls, 1);
    // A look every millisecond, on a tick of a millisecond at most: a change
    // is seen within two ticks' rounding of it.
    const std::uint64_t look = platform::kWaitLookUs + (clock.highResolution ? 0 : 1000);
    // Tab goes once the shell's thread has taken its activation, a step
    // after the foreground was asked for: nothing is waited for before
    // asking. The windows to watch are listed while the shell takes Tab,
    // however long the looks take (Wine's clock here).
    EXPECT_LE(tab - asked, desk.timing.shellStepUs + look);
    if (desk.TwoThreads()) {
        // Alt+M goes once the taskbar has taken the keyboard, a step after
        // the shell's desktop handled Tab; where reading the list takes
        // longer, once it is read.
        ASSERT_FALSE(desk.seen.keysHandledByShell.empty());
        const auto& handled = desk.seen.keysHandledByShell.front();
        EXPECT_EQ(handled.vk, platform::VK_TAB);
        EXPECT_LE(m - handled.us, desk.timing.shellStepUs + look + clock.windowLookUs);
    } else {
        // One window takes both keys: the keyboard never moves, and the
        // bound is what it costs.
        EXPECT_GE(m - tab, kKeyboardMoveUs);
        EXPECT_LE(m - tab, kKeyboardMoveUs + look);
    }

    desk.Run(1000);
    const int fired = desk.seen.timerFires;
    desk.Run(60'000);
    EXPECT_EQ(desk.seen.timerFires, fired) << "woken at rest";
    EXPECT_EQ(desk.RunningTimers(), 0u);
    EXPECT_EQ(desk.EffectiveTickUs(), clock.tickUs) << "the system's tick left raised";
}

// One request at a time. The reveal's waits take sent messages, and the
// notification area sends the icon's callback: left presses during any of
// them are served once the reveal is over, together by one reveal of their
// own (each reveal raises the system timer's resolution once, and restores
// it); a right press opens the menu only then. The press activates the taskbar, which
// may cost the reveal its keys: it is served the next way.
TEST(RevealWaitTest, APressOfTheIconDuringAnyWaitOfARevealIsServedOnceItIsOver) {
    for (const bool right : {false, true}) {
        for (const sim::ShellKind kind : sim::kShellKinds) {
            for (int nth = 0;; ++nth) {
                const std::string name = std::string(right ? "right" : "left") + " press, " +
                                         sim::ShellKindName(kind) + ", wait " + std::to_string(nth);
                World t;
                sim::Desktop& desk = t.desk;
                // A request whose keys the press spoilt is served the next way.
                desk.shell.objectWorks = true;
                App* app = t.StartBesideEditor(kind);
                ASSERT_NE(app, nullptr);
                desk.Run(1000);
                const Hwnd host = app->IconHostForm().hWnd();
                bool pressed = false;
                std::uint64_t tickInMenu = 0;
                // Once the menu is open: is a reveal's resolution held? Esc.
                std::function<void()> inMenu = [&] {
                    if (desk.seen.popups.empty()) return desk.At(1, inMenu);
                    tickInMenu = desk.EffectiveTickUs();
                    desk.TypeKey(platform::VK_ESCAPE);
                };
                desk.DuringWait(nth, [&] {
                    pressed = true;
                    if (right) desk.At(1, inMenu);
                    desk.ClickTrayIcon(host, kIconId, right);
                    if (!right) desk.ClickTrayIcon(host, kIconId);
                });
                desk.ClickTrayIcon(host, kIconId);
                desk.Run(3000);
                if (!pressed) {
                    EXPECT_GT(nth, 0) << name << ": a reveal without a wait";
                    break;
                }
                EXPECT_EQ(desk.seen.timerResolutionRaises, right ? 1 : 2) << name;
                EXPECT_EQ(desk.EffectiveTickUs(), desk.timing.tickUs) << name << ": left raised";
                EXPECT_FALSE(desk.StillShown(t.editor)) << name << ": not served";
                if (right) {
                    EXPECT_EQ(desk.seen.popups.size(), 1u) << name;
                    EXPECT_EQ(tickInMenu, desk.timing.tickUs) << name << ": the menu in a reveal";
                } else {
                    EXPECT_EQ(std::count(desk.seen.trace.begin(), desk.seen.trace.end(),
                                         "reveal: a request during a reveal, served after it"),
                              1)
                        << name;
                }
            }
        }
    }
}

// The resolution is the system's again only once its last holder lets go.
TEST(RevealWaitTest, TheFineTimerIsHeldUntilItsLastHoldIsLetGo) {
    sim::Desktop desk;
    desk.timing.highResolutionTimers = false;
    sim::SimRuntime runtime(desk);
    runtime.HoldFineTimer(true);
    runtime.HoldFineTimer(true);
    runtime.HoldFineTimer(false);
    EXPECT_EQ(desk.EffectiveTickUs(), sim::kWineTickUs);
    runtime.HoldFineTimer(false);
    EXPECT_EQ(desk.EffectiveTickUs(), sim::kWindowsTickUs);
    runtime.HoldFineTimer(false);  // nothing held: nothing to let go
    runtime.HoldFineTimer(true);
    EXPECT_EQ(desk.EffectiveTickUs(), sim::kWineTickUs);
    EXPECT_EQ(desk.seen.timerResolutionRaises, 2);
}

INSTANTIATE_TEST_SUITE_P(EachClockShellAndRequest, RevealClockTest,
                         ::testing::Combine(::testing::ValuesIn(kClocks),
                                            ::testing::ValuesIn(sim::kShellKinds),
                                            ::testing::Values(Request::Button, Request::Tray,
                                                              Request::SecondStart,
                                                              Request::TrayAlone)));

}  // namespace
}  // namespace quorvel::testing
