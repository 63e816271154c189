// The check that the shell acted on the keys, and the other ways the
// program asks it where it did not: which way serves, what is learnt, and
// what is never asked.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/constants.h"
#include "reveal/bounds.h"
#include "reveal/minimise_check.h"
#include "unit/reveal_fixture.h"

namespace quorvel::testing {
namespace {

// Where the shell ignores its keys (a taskbar that does not take Alt+M, or
// one too busy to take Tab before Alt+M comes), the program asks it the other
// way once it has seen nothing minimised: the shell's automation object, and
// Windows key + M where the object failed or nothing was minimised after it.
// The way seen to work is asked at once for the requests after; a request no
// way served is traced as such, and the next one asks the keys again. Never
// where the keys worked, never twice by one way, never with nothing to
// minimise.
using Way = MinimiseAllWay;
using Kind = sim::ShellKind;
struct IgnoredKeysCase {
    const char* name;
    Kind kind;
    // The shell, and the user's window.
    bool shellObjectWorks = false, shellObjectSilent = false, hotKeyIgnored = false, busy = false;
    bool hidesWhenMinimised = false;
    // The first request: the other ways it asked, whether it was served, the way learnt.
    int shellObjectCalls, winMPresses;
    bool served;
    Way learnt;
    // The second request: the other ways it asked.
    int laterShellObjectCalls, laterWinMPresses;
};
const IgnoredKeysCase kIgnoredKeysCases[] = {
    {.name = "no Alt+M, shell object works",
     .kind = Kind::WindowsLayoutWithoutAltM,
     .shellObjectWorks = true,
     .shellObjectCalls = 1,
     .winMPresses = 0,
     .served = true,
     .learnt = Way::ShellObject,
     .laterShellObjectCalls = 1,
     .laterWinMPresses = 0},
    {.name = "no Alt+M, shell object fails",
     .kind = Kind::WindowsLayoutWithoutAltM,
     .shellObjectCalls = 1,
     .winMPresses = 1,
     .served = true,
     .learnt = Way::WindowsKeyM,
     .laterShellObjectCalls = 0,
     .laterWinMPresses = 1},
    {.name = "no Alt+M, a window that hides",
     .kind = Kind::WindowsLayoutWithoutAltM,
     .hidesWhenMinimised = true,
     .shellObjectCalls = 1,
     .winMPresses = 1,
     .served = true,
     .learnt = Way::WindowsKeyM,
     .laterShellObjectCalls = 0,
     .laterWinMPresses = 1},
    {.name = "no Alt+M, shell object ignored",
     .kind = Kind::WindowsLayoutWithoutAltM,
     .shellObjectWorks = true,
     .shellObjectSilent = true,
     .shellObjectCalls = 1,
     .winMPresses = 1,
     .served = true,
     .learnt = Way::WindowsKeyM,
     .laterShellObjectCalls = 0,
     .laterWinMPresses = 1},
    {.name = "ignores all three",
     .kind = Kind::WindowsLayoutWithoutAltM,
     .shellObjectWorks = true,
     .shellObjectSilent = true,
     .hotKeyIgnored = true,
     .shellObjectCalls = 1,
     .winMPresses = 1,
     .served = false,
     .learnt = Way::Keys,
     .laterShellObjectCalls = 1,
     .laterWinMPresses = 1},
    // Alt+M reached the desktop before the keyboard left it: the other
    // way serves, and nothing is learnt from one slow moment.
    {.name = "Windows' layout, busy shell",
     .kind = Kind::WindowsLayout,
     .busy = true,
     .shellObjectCalls = 1,
     .winMPresses = 1,
     .served = true,
     .learnt = Way::Keys,
     .laterShellObjectCalls = 0,
     .laterWinMPresses = 0},
    {.name = "Windows' layout",
     .kind = Kind::WindowsLayout,
     .shellObjectCalls = 0,
     .winMPresses = 0,
     .served = true,
     .learnt = Way::Keys,
     .laterShellObjectCalls = 0,
     .laterWinMPresses = 0},
    {.name = "Windows' layout, a window that hides",
     .kind = Kind::WindowsLayout,
     .hidesWhenMinimised = true,
     .shellObjectCalls = 0,
     .winMPresses = 0,
     .served = true,
     .learnt = Way::Keys,
     .laterShellObjectCalls = 0,
     .laterWinMPresses = 0},
    {.name = "one window takes the keys",
     .kind = Kind::Windows,
     .shellObjectCalls = 0,
     .winMPresses = 0,
     .served = true,
     .learnt = Way::Keys,
     .laterShellObjectCalls = 0,
     .laterWinMPresses = 0},
};

class IgnoredKeysTest : public ::testing::TestWithParam<IgnoredKeysCase> {};

TEST_P(IgnoredKeysTest, AShellThatIgnoresItsKeysIsAskedTheOtherWays) {
    const auto& c = GetParam();
    World t;
    sim::Desktop& desk = t.desk;
    desk.shell.kind = c.kind;
    desk.shell.objectWorks = c.shellObjectWorks;
    desk.shell.objectSilent = c.shellObjectSilent;
    desk.shell.hotKeyIgnored = c.hotKeyIgnored;
    Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    desk.Find(editor)->hidesWhenMinimised = c.hidesWhenMinimised;
    t.StoreMode(kBothIcons);
    App* app = t.Start();
    ASSERT_NE(app, nullptr) << c.name;
    desk.shell.busy = c.busy;
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run(1000);
    const int served = c.served ? 1 : 0;
    EXPECT_EQ(desk.seen.minimiseAlls, served) << c.name;
    EXPECT_EQ(desk.StillShown(editor), !c.served) << c.name;
    EXPECT_EQ(desk.seen.shellObjectCalls, c.shellObjectCalls) << c.name;
    EXPECT_EQ(desk.seen.winMPresses, c.winMPresses) << c.name;
    EXPECT_EQ(app->Reveal().LearntWay(), c.learnt) << c.name;
    const bool notServed =
        std::find(desk.seen.trace.begin(), desk.seen.trace.end(),
                  "reveal: not served; nothing minimised by any way") != desk.seen.trace.end();
    EXPECT_EQ(notServed, !c.served) << c.name;
    desk.Run(1000);
    EXPECT_EQ(desk.seen.minimiseAlls, served) << c.name << ": asked twice";

    // The next request: the way seen to work at once; where none was,
    // the keys again, and the other ways after them.
    desk.Restore(editor);
    desk.Find(editor)->visible = true;
    desk.shell.busy = false;
    const int calls = desk.seen.shellObjectCalls, presses = desk.seen.winMPresses;
    const int altMs = desk.seen.ignoredAltMs;
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
    // Well before the keys could be judged ignored (kShellActsWithinMs), the other
    // way has been asked already: it was asked at once.
    static_assert(50 < kShellActsWithinMs);
    desk.Run(50);
    const bool atOnce = desk.seen.shellObjectCalls + desk.seen.winMPresses > calls + presses;
    EXPECT_EQ(atOnce, c.learnt != Way::Keys) << c.name;
    desk.Run(1000);
    EXPECT_EQ(desk.seen.minimiseAlls, 2 * served) << c.name << ": the second request";
    EXPECT_EQ(desk.seen.shellObjectCalls - calls, c.laterShellObjectCalls) << c.name;
    EXPECT_EQ(desk.seen.winMPresses - presses, c.laterWinMPresses) << c.name;
    if (!c.served) {
        EXPECT_GT(desk.seen.ignoredAltMs, altMs) << c.name << ": no keys again";
    }
}

INSTANTIATE_TEST_SUITE_P(EachShell, IgnoredKeysTest, ::testing::ValuesIn(kIgnoredKeysCases),
                         [](const auto& info) { return CaseName(info.param.name); });

// A request whose keys had no fair try (the keyboard wait ran out in
// Windows' layout: a shell busy beyond it) teaches nothing by itself; two in
// a row teach the way that served the second, so that a taskbar that never
// takes Tab in time does not cost every request the wait. A request whose
// keys served in between starts the count again. One whose shell's window
// lost the foreground before its keys (and could not have it back) had no
// try at all: it neither teaches nor counts, either way.
TEST(MinimiseAllCheckTest, OnlyTwoUnfairTriesInARowTeachTheOtherWay) {
    enum Request { Served, Busy, Lost };
    const struct {
        const char* name;
        std::vector<Request> requests;
        std::vector<MinimiseAllWay> learnt;  // after each
    } cases[] = {
        {"busy twice",
         {Busy, Busy, Served},
         {MinimiseAllWay::Keys, MinimiseAllWay::WindowsKeyM, MinimiseAllWay::WindowsKeyM}},
        {"busy, served, busy",
         {Busy, Served, Busy},
         {MinimiseAllWay::Keys, MinimiseAllWay::Keys, MinimiseAllWay::Keys}},
        {"lost twice", {Lost, Lost}, {MinimiseAllWay::Keys, MinimiseAllWay::Keys}},
        {"lost, busy", {Lost, Busy}, {MinimiseAllWay::Keys, MinimiseAllWay::Keys}},
        {"busy, lost, busy",
         {Busy, Lost, Busy},
         {MinimiseAllWay::Keys, MinimiseAllWay::Keys, MinimiseAllWay::WindowsKeyM}},
    };
    for (const auto& c : cases) {
        World t;
        sim::Desktop& desk = t.desk;
        desk.shell.kind = sim::ShellKind::WindowsLayout;
        Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
        App* app = t.Start();
        ASSERT_NE(app, nullptr) << c.name;
        // Takes the foreground from the shell's window: the program was not
        // started by it, so may not take the foreground back.
        Hwnd taker = desk.CreateAppWindow("Messenger");
        for (std::size_t i = 0; i < c.requests.size(); ++i) {
            desk.Restore(editor);
            desk.Restore(taker);
            desk.shell.busy = c.requests[i] == Busy;
            if (c.requests[i] == Lost) desk.TakeForegroundFromShell(taker);
            const int presses = desk.seen.winMPresses;
            desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
            desk.Run(1000);
            desk.shell.busy = false;
            desk.Run(10);
            EXPECT_EQ(desk.seen.minimiseAlls, static_cast<int>(i) + 1) << c.name << i;
            const bool learntBefore = i > 0 && c.learnt[i - 1] != MinimiseAllWay::Keys;
            EXPECT_EQ(desk.seen.winMPresses - presses,
                      c.requests[i] != Served || learntBefore ? 1 : 0)
                << c.name << i;
            EXPECT_EQ(app->Reveal().LearntWay(), c.learnt[i]) << c.name << i;
        }
    }
}

// The watch takes a window that went minimised or hidden for the shell's
// doing; one that closed by itself meanwhile is no such evidence: the
// request is judged by the windows still there.
TEST(MinimiseAllCheckTest, AWindowThatClosesByItselfIsNoServedRequest) {
    World t;
    sim::Desktop& desk = t.desk;
    desk.shell.kind = sim::ShellKind::WindowsLayoutWithoutAltM;
    Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    Hwnd closes = desk.CreateAppWindow("Downloading");
    App* app = t.Start();
    ASSERT_NE(app, nullptr);
    desk.At(100, [&] { desk.DestroyWindow(closes); });
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run(1000);
    // Alt+M ignored: the other ways asked, and the one that served learnt.
    EXPECT_EQ(desk.seen.shellObjectCalls, 1);
    EXPECT_EQ(desk.seen.winMPresses, 1);
    EXPECT_FALSE(desk.StillShown(editor));
    EXPECT_EQ(app->Reveal().LearntWay(), MinimiseAllWay::WindowsKeyM);
}

// Alt+M is a menu's access key in many programs: a window of another program
// that takes the foreground between Tab and Alt+M never receives it, and the
// request is served the next way at once, teaching nothing.
class AnotherProgramInFrontTest : public ::testing::TestWithParam<sim::ShellKind> {};

TEST_P(AnotherProgramInFrontTest, AltMNeverReachesItAndTheRequestIsStillServed) {
    // Listed for the watch, or not (no minimise button): asked all the same.
    for (const bool listed : {true, false}) {
        World t;
        sim::Desktop& desk = t.desk;
        desk.shell.kind = GetParam();
        desk.shell.objectWorks = true;
        Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
        desk.Find(editor)->minimiseBox = listed;
        App* app = t.Start();
        ASSERT_NE(app, nullptr);
        desk.AfterShellKey([&] { desk.Activate(editor); });
        desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
        // At once: well before the keys could be judged ignored.
        desk.Run(kShellActsWithinMs / 2);
        EXPECT_EQ(desk.seen.minimiseAlls, 1) << listed;
        desk.Run(1000);
        EXPECT_EQ(desk.Find(editor)->typed, "") << listed;
        EXPECT_EQ(desk.seen.shellKeys, (std::vector<std::string>{"Tab"})) << listed;
        EXPECT_EQ(desk.seen.minimiseAlls, 1) << listed;
        if (listed) {
            EXPECT_FALSE(desk.StillShown(editor));
        }
        EXPECT_EQ(app->Reveal().LearntWay(), MinimiseAllWay::Keys) << listed;
    }
}

INSTANTIATE_TEST_SUITE_P(EachShell, AnotherProgramInFrontTest,
                         ::testing::ValuesIn(sim::kShellKinds),
                         [](const auto& info) { return sim::ShellKindName(info.param); });

// A replacement shell's taskbar on a thread of its own, of another class
// than Windows': the layout is not known before Tab, but once the keyboard
// has left the desktop Alt+M waits for it to arrive, as in Windows' layout.
TEST(MinimiseAllCheckTest, ATaskbarOfAnotherClassOnItsOwnThreadIsWaitedFor) {
    World t;
    sim::Desktop& desk = t.desk;
    desk.shell.kind = sim::ShellKind::WindowsLayout;
    for (Hwnd hwnd : desk.ZOrder()) {
        if (desk.Find(hwnd)->className == "Shell_TrayWnd") desk.Find(hwnd)->className = "Taskbar";
    }
    // Slower than the bound for a keyboard that never moves.
    desk.timing.shellStepUs = 3 * kKeyboardMoveUs / 4;
    Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    App* app = t.Start();
    ASSERT_NE(app, nullptr);
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run(1000);
    EXPECT_EQ(desk.seen.shellKeys, (std::vector<std::string>{"Tab", "Alt+M"}));
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_EQ(desk.seen.winMPresses, 0);
    EXPECT_FALSE(desk.StillShown(editor));
}

// Windows' layout is the shell's own taskbar on a thread of its own: a
// window of that class made by another program says nothing of the shell,
// whose one window takes both keys, and costs only the 4 ms wait.
TEST(MinimiseAllCheckTest, AnotherProgramsShellTrayWndIsNoWindowsLayout) {
    World t;
    sim::Desktop& desk = t.desk;
    desk.shell.kind = sim::ShellKind::Windows;
    Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    desk.Find(desk.CreateAppWindow(""))->className = "Shell_TrayWnd";
    desk.Activate(editor);
    App* app = t.Start();
    ASSERT_NE(app, nullptr);
    desk.seen.keysSent.clear();
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run(1000);
    auto sent = [&](std::uint8_t vk) {
        auto it = std::find_if(desk.seen.keysSent.begin(), desk.seen.keysSent.end(),
                               [&](const auto& k) { return k.vk == vk && !k.up; });
        return it == desk.seen.keysSent.end() ? ~std::uint64_t{0} : it->us;
    };
    ASSERT_NE(sent('M'), ~std::uint64_t{0});
    EXPECT_LT(sent('M') - sent(platform::VK_TAB), kKeyboardToTaskbarUs);
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
}

// COM once: the apartment is entered the first time the shell's object is
// needed and kept, the object made once and kept over many requests, made
// again after a failed call and for a recreated taskbar (whose new shell is
// asked its keys again), and both released when the program ends.
TEST(MinimiseAllCheckTest, TheShellObjectIsMadeOnceAndAgainForANewTaskbar) {
    using Way = MinimiseAllWay;
    World t;
    sim::Desktop& desk = t.desk;
    desk.shell.kind = sim::ShellKind::WindowsLayoutWithoutAltM;
    Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    App* app = t.Start();
    ASSERT_NE(app, nullptr);
    auto reveal = [&] {
        desk.Restore(editor);
        desk.Find(editor)->visible = true;
        desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
        desk.Run(1000);
    };
    // The shell's object fails (a stub): Windows key + M serves.
    reveal();
    EXPECT_EQ(desk.seen.shellObjectsMade, 1);
    EXPECT_EQ(desk.seen.shellObjectsHeld, 0) << "a failed object kept";
    EXPECT_EQ(app->Reveal().LearntWay(), Way::WindowsKeyM);

    // The shell restarts, and its new object works.
    desk.shell.objectWorks = true;
    desk.RecreateTaskbar();
    EXPECT_EQ(app->Reveal().LearntWay(), Way::Keys);
    for (int i = 0; i < 20; ++i) reveal();
    EXPECT_EQ(desk.seen.minimiseAlls, 21);
    EXPECT_EQ(desk.seen.winMPresses, 1);
    EXPECT_EQ(desk.seen.shellObjectCalls, 21);
    EXPECT_EQ(desk.seen.shellObjectsMade, 2);
    EXPECT_EQ(desk.seen.libraryLoads["shell32.dll"], 1);
    EXPECT_EQ(desk.seen.libraryLoads["ole32.dll"], 1);

    // Once more: the object made for the old taskbar is not used for the new.
    desk.RecreateTaskbar();
    EXPECT_EQ(desk.seen.shellObjectsHeld, 0);
    reveal();
    EXPECT_EQ(desk.seen.minimiseAlls, 22);
    EXPECT_EQ(desk.seen.shellObjectsMade, 3);
    EXPECT_EQ(desk.seen.winMPresses, 1);
    EXPECT_EQ(desk.seen.libraryLoads["shell32.dll"], 1);

    // The shell stops serving the way learnt, and Windows key + M too: the
    // request is served by none, and the next asks the keys again.
    desk.shell.objectSilent = true;
    desk.shell.hotKeyIgnored = true;
    reveal();
    EXPECT_EQ(desk.seen.minimiseAlls, 22);
    EXPECT_EQ(app->Reveal().LearntWay(), Way::Keys);
    const int altMs = desk.seen.ignoredAltMs;
    reveal();
    EXPECT_GT(desk.seen.ignoredAltMs, altMs) << "the keys not asked again";

    desk.ShutDown();
    EXPECT_EQ(desk.seen.shellObjectsHeld, 0) << "the object not released at exit";
}

TEST(MinimiseAllCheckTest, WithNothingToMinimiseNothingIsAskedAfterTheKeys) {
    World t;
    t.desk.shell.kind = sim::ShellKind::WindowsLayoutWithoutAltM;
    App* app = t.Start();
    ASSERT_NE(app, nullptr);
    t.desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    t.desk.Run(1000);
    EXPECT_EQ(app->Reveal().LearntWay(), MinimiseAllWay::Keys);
    EXPECT_EQ(t.desk.seen.shellObjectCalls, 0);
    EXPECT_EQ(t.desk.seen.winMPresses, 0);
    // A second start too, which waits for nothing.
    EXPECT_EQ(t.Start(), nullptr);
    t.desk.Run(1000);
    EXPECT_EQ(t.desk.seen.shellObjectCalls + t.desk.seen.winMPresses, 0);
}

}  // namespace
}  // namespace quorvel::testing
