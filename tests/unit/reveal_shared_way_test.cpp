// The way learnt, shared between the running instance and second starts:
// who tells whom, what a second start asks at once, and what never counts
// as a way.
#include <algorithm>
#include <string>
#include <string_view>

#include "platform/constants.h"
#include "platform/message_words.h"
#include "reveal/bounds.h"
#include "reveal/minimise_check.h"
#include "unit/reveal_fixture.h"

namespace quorvel::testing {
namespace {

using Way = MinimiseAllWay;

// What the running instance learnt, a second start knows and asks at once,
// within the wait's time; a second start that learns it first tells the
// running instance, whose next click and the starts after it ask at once.
// Where the shell takes its keys nothing is shared. A second start touches
// nothing of the running instance's but what it found.
struct SharedWayCase {
    const char* name;
    sim::ShellKind kind;
    bool clickFirst;  // the running instance learns it from a click
    Way learnt;
};
const SharedWayCase kSharedWayCases[] = {
    {"learnt by the running instance", sim::ShellKind::WindowsLayoutWithoutAltM, true,
     Way::WindowsKeyM},
    {"learnt by a second start", sim::ShellKind::WindowsLayoutWithoutAltM, false, Way::WindowsKeyM},
    {"a shell that takes its keys", sim::ShellKind::WindowsLayout, true, Way::Keys},
};

class SharedWayTest : public ::testing::TestWithParam<SharedWayCase> {};

TEST_P(SharedWayTest, ASecondStartAsksAtOnceTheWayTheRunningInstanceLearnt) {
    const auto& c = GetParam();
    World t;
    sim::Desktop& desk = t.desk;
    App* app = t.StartBesideEditor(c.kind);
    ASSERT_NE(app, nullptr) << c.name;
    sim::SimRuntime& running = *t.instances.begin()->second.runtime;
    if (c.clickFirst) t.Click(*app);
    const auto& props = desk.Find(running.applicationWindow())->props;
    EXPECT_EQ(props.empty(), c.clickFirst ? c.learnt == Way::Keys : true) << c.name;
    const std::size_t icons = desk.TrayIconCount();
    const bool button = desk.HasTaskbarButton(app->TaskbarForm().hWnd());

    // Two second starts: the first asks at once where the running
    // instance had learnt it, else learns it and tells the running
    // instance; the next asks at once.
    for (int start = 0; start < 2; ++start) {
        const bool atOnce = c.learnt != Way::Keys && (c.clickFirst || start > 0);
        const int altMs = desk.seen.ignoredAltMs;
        const int before = desk.seen.minimiseAlls;
        const std::uint64_t launched = desk.Now();
        EXPECT_EQ(t.Start(), nullptr) << c.name;
        EXPECT_EQ(desk.seen.minimiseAlls, before + 1) << c.name << start;
        if (atOnce) {
            EXPECT_EQ(desk.seen.ignoredAltMs, altMs) << c.name << start << ": keys first";
            EXPECT_LT(desk.Now() - launched, kShellActsWithinMs) << c.name << start;
        }
        desk.Run(1000);
        t.RestoreEditor();
        EXPECT_EQ(app->Reveal().LearntWay(), c.learnt) << c.name << start;
    }
    // The running instance's windows, icon and setting are as they were.
    EXPECT_EQ(desk.TrayIconCount(), icons) << c.name;
    EXPECT_EQ(desk.HasTaskbarButton(app->TaskbarForm().hWnd()), button) << c.name;
    EXPECT_EQ(t.StoredMode(), AsStored(kBothIcons)) << c.name;
    // Its next click asks the way at once too.
    const int altMs = desk.seen.ignoredAltMs;
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run(1000);
    EXPECT_EQ(desk.seen.ignoredAltMs > altMs,
              c.learnt == Way::Keys && c.kind == sim::ShellKind::WindowsLayoutWithoutAltM)
        << c.name;
    EXPECT_FALSE(desk.StillShown(t.editor)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(EachWay, SharedWayTest, ::testing::ValuesIn(kSharedWayCases),
                         [](const auto& info) { return CaseName(info.param.name); });

// The way shared with later starts only ever chooses among the program's
// own ways, and goes with the lesson: a value another program planted on the
// running instance's window or posted to it, unknown, is no way (the keys
// first); a recreated taskbar and a request no way served drop it for the
// later starts as for the instance itself. A second start that knows the way
// asks it at once, without bringing the shell's window forward.
// The shell gone (its process ended, not started again yet): a request by
// the way learnt has nothing to ask, in the running instance and in a second
// start, and says so.
TEST(MinimiseAllCheckTest, AWayLearntWithTheShellGoneIsTracedAsUnserved) {
    World t;
    sim::Desktop& desk = t.desk;
    App* app = t.StartBesideEditor(sim::ShellKind::WindowsLayoutWithoutAltM);
    ASSERT_NE(app, nullptr);
    t.Click(*app);
    ASSERT_EQ(app->Reveal().LearntWay(), Way::WindowsKeyM);
    desk.EndShell();
    const auto unserved = [&] {
        return std::count(desk.seen.trace.begin(), desk.seen.trace.end(),
                          "reveal: not served; no shell's window to ask the way seen to work");
    };
    const int minimised = desk.seen.minimiseAlls;
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run(1000);
    EXPECT_EQ(unserved(), 1);
    EXPECT_EQ(t.Start(), nullptr);
    desk.Run(1000);
    EXPECT_EQ(unserved(), 2);
    EXPECT_EQ(desk.seen.minimiseAlls, minimised);
    EXPECT_EQ(desk.seen.winMPresses, 1) << "Windows key + M with no shell to take it";
}

TEST(MinimiseAllCheckTest, TheSharedWayOnlyChoosesAmongTheProgramsWaysAndGoesWithItsLesson) {
    constexpr std::uint32_t kUnknown = 7;
    enum Event { Planted, Told, Recreated, Unserved, None };
    const struct {
        const char* name;
        bool learntFirst;  // the running instance learns Windows key + M from a click
        Event event;
        Way instanceAfter;   // what the running instance holds after the event
        bool keysFirst;      // the request's first key: Tab, else the Windows key
        bool click = false;  // the request after the event: a click, else a second start
    } cases[] = {
        {.name = "an unknown value planted on its window",
         .learntFirst = false,
         .event = Planted,
         .instanceAfter = Way::Keys,
         .keysFirst = true},
        {.name = "an unknown value told",
         .learntFirst = true,
         .event = Told,
         .instanceAfter = Way::Keys,
         .keysFirst = true},
        {.name = "the taskbar recreated",
         .learntFirst = true,
         .event = Recreated,
         .instanceAfter = Way::Keys,
         .keysFirst = true},
        {.name = "a request no way served",
         .learntFirst = true,
         .event = Unserved,
         .instanceAfter = Way::Keys,
         .keysFirst = true},
        {.name = "learnt",
         .learntFirst = true,
         .event = None,
         .instanceAfter = Way::WindowsKeyM,
         .keysFirst = false},
        // A click hands the activation to the shell's window only after the
        // Windows key + M: under Wine the shell's late focus event can let go
        // of the Windows key between it and its M.
        {.name = "learnt, then a click",
         .learntFirst = true,
         .event = None,
         .instanceAfter = Way::WindowsKeyM,
         .keysFirst = false,
         .click = true},
    };
    for (const auto& c : cases) {
        World t;
        sim::Desktop& desk = t.desk;
        App* app = t.StartBesideEditor(sim::ShellKind::WindowsLayoutWithoutAltM);
        ASSERT_NE(app, nullptr) << c.name;
        const Hwnd appWindow = t.instances.begin()->second.runtime->applicationWindow();
        if (c.learntFirst) {
            t.Click(*app);
            ASSERT_EQ(app->Reveal().LearntWay(), Way::WindowsKeyM) << c.name;
        }
        switch (c.event) {
            case Planted:
                desk.Find(appWindow)->props[platform::kMinimiseAllWayName] = kUnknown;
                break;
            case Told:
                desk.Post(appWindow, sim::WM_MINIMISEALLWAY, kUnknown);
                desk.Run();
                break;
            case Recreated:
                desk.RecreateTaskbar();
                break;
            case Unserved:
                desk.shell.hotKeyIgnored = true;
                desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
                desk.Run(1000);
                desk.shell.hotKeyIgnored = false;
                t.RestoreEditor();
                break;
            case None:
                break;
        }
        EXPECT_EQ(app->Reveal().LearntWay(), c.instanceAfter) << c.name;
        // The request: its first key, and whether it brought the shell's
        // window forward before it (WM_ACTIVATE, as Windows tells the window;
        // the minimise-all may hand the activation to it after).
        // By the keys sent when it came: the simulated clock may not move between.
        std::size_t keysAtShellActivation = ~std::size_t{0};
        sim::Window& shell = *desk.Find(desk.Shell());
        const auto own = shell.proc;
        shell.proc = [&](std::uint32_t msg, std::uint32_t wParam,
                         std::uint32_t lParam) -> std::intptr_t {
            if (msg == platform::WM_ACTIVATE &&
                platform::LowWord(wParam) != platform::WA_INACTIVE) {
                keysAtShellActivation = std::min(keysAtShellActivation, desk.seen.keysSent.size());
            }
            return own ? own(msg, wParam, lParam) : 0;
        };
        const std::size_t sentBefore = desk.seen.keysSent.size();
        const int before = desk.seen.minimiseAlls;
        if (c.click) {
            desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
        } else {
            EXPECT_EQ(t.Start(), nullptr) << c.name;
        }
        desk.Run(1000);
        desk.Find(desk.Shell())->proc = own;
        EXPECT_EQ(desk.seen.minimiseAlls, before + 1) << c.name;
        auto first =
            std::find_if(desk.seen.keysSent.begin() + static_cast<std::ptrdiff_t>(sentBefore),
                         desk.seen.keysSent.end(), [](const auto& k) { return !k.up; });
        ASSERT_NE(first, desk.seen.keysSent.end()) << c.name << ": no keys";
        EXPECT_EQ(first->vk, c.keysFirst ? platform::VK_TAB : platform::VK_LWIN) << c.name;
        const auto firstIndex = static_cast<std::size_t>(first - desk.seen.keysSent.begin());
        EXPECT_EQ(keysAtShellActivation <= firstIndex, c.keysFirst) << c.name;
    }
}

// An elevated running instance: Windows drops the messages of the user's
// other programs (a lower integrity level) to its windows unless its filter
// lets them through. It hears what a second start (not elevated) learnt, and
// the shell's "TaskbarCreated"; any other message of a lower program, to any
// of its windows, is still dropped.
TEST(MinimiseAllCheckTest, AnElevatedInstanceHearsASecondStartAndNoOtherLowerMessage) {
    World t;
    sim::Desktop& desk = t.desk;
    desk.shell.kind = sim::ShellKind::WindowsLayoutWithoutAltM;
    desk.CreateAppWindow("Untitled - Notepad");
    t.StoreMode(kBothIcons);
    desk.processes.integrityOfNew = sim::Integrity::High;
    App* app = t.Start();
    ASSERT_NE(app, nullptr);
    const int pid = t.lastPid;
    desk.processes.integrityOfNew = sim::Integrity::Medium;
    EXPECT_EQ(t.Start(), nullptr);
    desk.Run(1000);
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_EQ(app->Reveal().LearntWay(), Way::WindowsKeyM) << "the second start not heard";
    desk.RecreateTaskbar();
    EXPECT_EQ(desk.TrayIconCount(), 1u) << "the shell's broadcast not heard";
    EXPECT_EQ(app->Reveal().LearntWay(), Way::Keys);

    const int lower = desk.NewProcess("a program of the user");
    const Hwnd appWindow = t.instances.at(pid).runtime->applicationWindow();
    EXPECT_FALSE(desk.PostFrom(lower, appWindow, sim::WM_MINIMISEALLWAY + 1));
    for (Hwnd form : {app->TaskbarForm().hWnd(), app->IconHostForm().hWnd()}) {
        EXPECT_FALSE(desk.PostFrom(lower, form, platform::WM_CLOSE));
        EXPECT_FALSE(desk.PostFrom(lower, form, sim::WM_MINIMISEALLWAY));
    }
    desk.Run(1000);
    EXPECT_TRUE(t.Alive(pid));
}

// Two second starts at once (a hotkey pressed twice in quick succession),
// the first still waiting for the shell when the second comes: each reads
// and tells the running instance, never the other second start. Where
// nothing was learnt, the first learns the way and the running instance
// keeps it; where the running instance had learnt it, the second asks it at
// once too. Either way the start after them asks at once. (The second runs
// inside the first's wait here, which cannot give its turn back meanwhile:
// the second waits out the turn's bound; the turn itself is tested below.)
TEST(MinimiseAllCheckTest, TwoSecondStartsAtOnceEachReachOnlyTheRunningInstance) {
    const struct {
        const char* name;
        bool learntBefore;    // the running instance learnt it from a click
        std::uint64_t gapMs;  // from the first start to the second, within its watch
        int altMsOfTheTwo;    // Alt+M the taskbar ignored during the two starts
    } cases[] = {
        {"nothing learnt: the first waits out its keys", false, 200, 2},
        {"learnt: the first watches the way it asked at once", true, 10, 0},
    };
    for (const auto& c : cases) {
        World t;
        sim::Desktop& desk = t.desk;
        App* app = t.StartBesideEditor(sim::ShellKind::WindowsLayoutWithoutAltM);
        ASSERT_NE(app, nullptr) << c.name;
        if (c.learntBefore) {
            t.Click(*app);
            ASSERT_EQ(app->Reveal().LearntWay(), Way::WindowsKeyM) << c.name;
        }
        const int altMs = desk.seen.ignoredAltMs;
        const int before = desk.seen.minimiseAlls;
        int secondStarts = 0;
        ASSERT_LT(c.gapMs, kShellActsWithinMs) << c.name;
        desk.At(c.gapMs, [&] {
            ++secondStarts;
            EXPECT_EQ(t.Start(), nullptr) << c.name << ": the second of the two";
        });
        EXPECT_EQ(t.Start(), nullptr) << c.name << ": the first of the two";
        desk.Run(1000);
        EXPECT_EQ(secondStarts, 1) << c.name << ": the second came after the first had ended";
        EXPECT_GT(desk.seen.minimiseAlls, before) << c.name;
        EXPECT_EQ(desk.seen.ignoredAltMs - altMs, c.altMsOfTheTwo) << c.name;
        EXPECT_EQ(app->Reveal().LearntWay(), Way::WindowsKeyM) << c.name << ": the lesson lost";
        // The next second start asks at once.
        t.RestoreEditor();
        const int altMsAfter = desk.seen.ignoredAltMs;
        const int afterTwo = desk.seen.minimiseAlls;
        EXPECT_EQ(t.Start(), nullptr) << c.name;
        desk.Run(1000);
        EXPECT_EQ(desk.seen.minimiseAlls, afterTwo + 1) << c.name;
        EXPECT_EQ(desk.seen.ignoredAltMs, altMsAfter)
            << c.name << ": the start after them asked keys";
    }
}

// A second start whose turn another start holds (here a process of the
// test's, as Windows would see that start: it tells the running instance
// and gives the turn back) waits for it before its keys, then asks at once
// what the other told; a turn never given back costs the bound, no more.
TEST(MinimiseAllCheckTest, ASecondStartWaitsForAnotherStartsTurnAndAsksWhatItLearnt) {
    const struct {
        const char* name;
        bool givenBack;
        std::uint64_t waitedMs;  // launch to end, at least
        int altMs;               // Alt+M the taskbar ignored
    } cases[] = {
        {"given back once it told", true, 100, 0},
        {"kept by a start that hangs", false, kOtherStartsTurnUs / 1000, 1},
    };
    for (const auto& c : cases) {
        World t;
        sim::Desktop& desk = t.desk;
        App* app = t.StartBesideEditor(sim::ShellKind::WindowsLayoutWithoutAltM);
        ASSERT_NE(app, nullptr) << c.name;
        desk.Run(1000);  // its own cleanup over
        const Hwnd running = t.instances.begin()->second.runtime->applicationWindow();
        const int other = desk.NewProcess("quorvel.exe");
        ASSERT_TRUE(desk.TakeTurn(other)) << c.name;
        if (c.givenBack) {
            // Its 100th look at the turn, a millisecond apart at least.
            desk.DuringWait(100, [&] {
                desk.SendFrom(other, running, sim::WM_MINIMISEALLWAY,
                              static_cast<std::uint32_t>(Way::WindowsKeyM));
                desk.EndTurn(other);
            });
        }
        const std::uint64_t launched = desk.Now();
        const int minimiseAlls = desk.seen.minimiseAlls;
        desk.seen.calls.clear();
        EXPECT_EQ(t.Start(), nullptr) << c.name;
        const std::uint64_t took = desk.Now() - launched;
        EXPECT_GE(took, c.waitedMs) << c.name;
        EXPECT_LT(took, c.waitedMs + 4 * kShellActsWithinMs) << c.name;
        desk.Run(1000);
        EXPECT_EQ(desk.seen.minimiseAlls, minimiseAlls + 1) << c.name;
        EXPECT_EQ(desk.seen.ignoredAltMs, c.altMs) << c.name;
        EXPECT_TRUE(desk.TakeTurn(desk.NewProcess("the next start")) == c.givenBack) << c.name;
        if (!c.givenBack) continue;
        // This start's, given back once its request was answered, before its cleanup.
        const auto& calls = desk.seen.calls;
        auto at = [&](std::string_view call) {
            return std::find_if(calls.begin(), calls.end(),
                                [&](const std::string& made) { return made.rfind(call, 0) == 0; }) -
                   calls.begin();
        };
        EXPECT_LT(at("ReleaseMutex(Quorvel.Turn)"), at("FindFirstFileA")) << c.name;
        EXPECT_LT(at("FindFirstFileA"), std::ssize(calls)) << c.name << ": no cleanup";
    }
}

}  // namespace
}  // namespace quorvel::testing
