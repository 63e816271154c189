// The show-desktop command and its trigger on the taskbar button.
#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

#include "platform/constants.h"
#include "platform/message_words.h"
#include "reveal/bounds.h"
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
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
    EXPECT_FALSE(WindowOf(editor).minimised);

    Hwnd taskbarForm = app->TaskbarForm().hWnd();
    for (int click = 1; click <= 5; ++click) {
        desk.ClickTaskbarButton(taskbarForm);
        desk.Run();
        EXPECT_EQ(desk.seen.minimiseAlls, click);
        EXPECT_TRUE(WindowOf(editor).minimised) << "click " << click;
        // A reveal with everything minimised already sends the same keys again.
    }
    EXPECT_TRUE(desk.HasTaskbarButton(taskbarForm));
}

// When the program brings the shell's window forward for the keys, the taskbar form
// is hidden, so that its button is not among what the shell minimises, yet
// neither moved nor sized: hidden where it stands. It is shown again and
// back off the screen once the keys are sent.
TEST_F(RevealTest, TaskbarFormIsHiddenInPlaceWhileTheShellMinimisesAll) {
    Editor();
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd taskbarForm = app->TaskbarForm().hWnd();
    const sim::Window atRest = WindowOf(taskbarForm);
    ASSERT_EQ(atRest.x, kOffScreenPixels);
    std::optional<sim::Window> during;
    sim::Window& shell = *desk.Find(desk.Shell());
    const auto own = shell.proc;
    shell.proc = [&](std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam) {
        if (msg == platform::WM_ACTIVATE && platform::LowWord(wParam) != platform::WA_INACTIVE)
            during = WindowOf(taskbarForm);
        return own ? own(msg, wParam, lParam) : 0;
    };
    desk.ClickTaskbarButton(taskbarForm);
    desk.Run();
    // What is looked at here goes with this test; the shell stays.
    desk.Find(desk.Shell())->proc = own;
    ASSERT_TRUE(during.has_value()) << "the shell was never brought forward";
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_FALSE(during->visible);
    EXPECT_FALSE(during->minimised);
    EXPECT_EQ(during->x, atRest.x);
    EXPECT_EQ(during->y, atRest.y);
    EXPECT_EQ(during->width, atRest.width);
    EXPECT_EQ(during->height, atRest.height);
    EXPECT_TRUE(WindowOf(taskbarForm).visible);
    EXPECT_TRUE(desk.HasTaskbarButton(taskbarForm));
    EXPECT_EQ(WindowOf(taskbarForm).x, kOffScreenPixels);
    EXPECT_EQ(WindowOf(taskbarForm).y, kOffScreenPixels);
}

TEST_F(RevealTest, TaskbarButtonIsBackAndBothFormsOffScreenAfterAReveal) {
    for (const char* mode : {kTaskbarOnly, kBothIcons}) {
        StoreMode(mode);
        App* app = Start();
        ASSERT_NE(app, nullptr);
        Hwnd taskbarForm = app->TaskbarForm().hWnd();
        desk.Find(taskbarForm)->x = 0;
        desk.ClickTaskbarButton(taskbarForm);
        desk.Run();
        EXPECT_TRUE(desk.HasTaskbarButton(taskbarForm)) << "mode " << mode;
        EXPECT_EQ(WindowOf(taskbarForm).x, kOffScreenPixels);
        EXPECT_EQ(WindowOf(app->IconHostForm().hWnd()).y, kOffScreenPixels);
        EXPECT_FALSE(WindowOf(app->IconHostForm().hWnd()).visible);
        desk.ShutDown();
    }
}

TEST_F(RevealTest, InTrayOnlyModeARevealLeavesNoTaskbarButton) {
    StoreMode(kTrayOnly);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_FALSE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
}

TEST_F(RevealTest, NoRevealWhileTheDialogIsOpen) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd taskbarForm = app->TaskbarForm().hWnd();
    desk.At(50, [&] {
        ASSERT_TRUE(app->DialogVisible());
        desk.Activate(taskbarForm);  // e.g. the taskbar button, while the dialog shows
        desk.RunPending();
        EXPECT_EQ(desk.seen.minimiseAlls, 0);
        desk.PressClose(app->ConfigureDialogForm()->hWnd());
    });
    desk.ChooseWindowMenu(taskbarForm, "&Configure");
    EXPECT_FALSE(app->DialogVisible());
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
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
    Hwnd taskbarForm = app->TaskbarForm().hWnd();
    desk.ClickTaskbarButton(taskbarForm);
    desk.Run();
    EXPECT_EQ(WindowOf(editor).typed, "");
    EXPECT_TRUE(desk.HasTaskbarButton(taskbarForm));
    EXPECT_EQ(WindowOf(taskbarForm).x, kOffScreenPixels);
}

// Under the foreground lock the shell's window cannot be activated: the keys
// would land in the user's document, so none are sent.
TEST_F(RevealTest, NoKeysWhenTheShellCannotBeActivated) {
    StoreMode(kBothIcons);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd editor = Editor();
    desk.activation.foregroundLocked = true;
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
    desk.Run();
    EXPECT_EQ(desk.Active(), editor);
    EXPECT_EQ(WindowOf(editor).typed, "");
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    EXPECT_EQ(WindowOf(app->TaskbarForm().hWnd()).x, kOffScreenPixels);
}

// SetWindowPos without SWP_NOACTIVATE activates the taskbar form, also from the tray
// icon's callback and in a second instance: that activation is the program's
// own and must not start a second reveal.
TEST_F(RevealTest, OwnActivationOfTaskbarFormDuringARevealIsNoClick) {
    StoreMode(kBothIcons);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    // ... and the next click on the taskbar button is still one reveal.
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 2);

    // A second start while the first has just revealed: one reveal more.
    EXPECT_EQ(Start(), nullptr);
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 3);
}

// A case's name as a test's: letters and digits only.
std::string CaseName(const char* name) {
    std::string out;
    for (const char* p = name; *p != '\0'; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) out += *p;
    }
    return out;
}

// A desktop of its own for each case of a table.
struct World : SimTest {
    using SimTest::desk, SimTest::Start, SimTest::StoreMode, SimTest::StoredMode, SimTest::lastPid,
        SimTest::instances, SimTest::Alive;
    void TestBody() override {}

    // The user's editor open, and the running instance started with both
    // icons, on a shell of `kind`.
    App* StartBesideEditor(sim::ShellKind kind) {
        desk.shell.kind = kind;
        editor = desk.CreateAppWindow("Untitled - Notepad");
        StoreMode(kBothIcons);
        return Start();
    }
    // The editor back on the screen, as the user has it before a request.
    void RestoreEditor() {
        desk.Restore(editor);
        desk.Find(editor)->visible = true;
    }
    // A click on the taskbar button, answered.
    void Click(App& app) {
        desk.ClickTaskbarButton(app.TaskbarForm().hWnd());
        desk.Run(1000);
        RestoreEditor();
    }
    Hwnd editor = 0;
};

// Where the shell ignores its keys (a taskbar that does not take Alt+M, or
// one too busy to take Tab before Alt+M comes), the program asks it the other
// way once it has seen nothing minimised: the shell's automation object, and
// Windows key + M where the object failed or nothing was minimised after it.
// The way seen to work is asked at once for the requests after; a request no
// way served is traced as such, and the next one asks the keys again. Never
// where the keys worked, never twice by one way, never with nothing to
// minimise.
using Way = MinimiseAllWay;
struct IgnoredKeysCase {
    const char* name;
    sim::ShellKind kind;
    bool shellObjectWorks, shellObjectSilent, hotKeyIgnored, busy, hidesWhenMinimised;
    int shellObjectCalls, winMPresses;  // for the first request
    bool served;
    Way learnt;
    int laterShellObjectCalls, laterWinMPresses;  // for the second
};
const IgnoredKeysCase kIgnoredKeysCases[] = {
    {"no Alt+M, shell object works", sim::ShellKind::WindowsLayoutWithoutAltM, true, false, false,
     false, false, 1, 0, true, Way::ShellObject, 1, 0},
    {"no Alt+M, shell object fails", sim::ShellKind::WindowsLayoutWithoutAltM, false, false, false,
     false, false, 1, 1, true, Way::WindowsKeyM, 0, 1},
    {"no Alt+M, a window that hides", sim::ShellKind::WindowsLayoutWithoutAltM, false, false, false,
     false, true, 1, 1, true, Way::WindowsKeyM, 0, 1},
    {"no Alt+M, shell object ignored", sim::ShellKind::WindowsLayoutWithoutAltM, true, true, false,
     false, false, 1, 1, true, Way::WindowsKeyM, 0, 1},
    {"ignores all three", sim::ShellKind::WindowsLayoutWithoutAltM, true, true, true, false, false,
     1, 1, false, Way::Keys, 1, 1},
    // Alt+M reached the desktop before the keyboard left it: the other
    // way serves, and nothing is learnt from one slow moment.
    {"Windows' layout, busy shell", sim::ShellKind::WindowsLayout, false, false, false, true, false,
     1, 1, true, Way::Keys, 0, 0},
    {"Windows' layout", sim::ShellKind::WindowsLayout, false, false, false, false, false, 0, 0,
     true, Way::Keys, 0, 0},
    {"Windows' layout, a window that hides", sim::ShellKind::WindowsLayout, false, false, false,
     false, true, 0, 0, true, Way::Keys, 0, 0},
    {"one window takes the keys", sim::ShellKind::Windows, false, false, false, false, false, 0, 0,
     true, Way::Keys, 0, 0},
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
// keys served in between starts the count again.
TEST(MinimiseAllCheckTest, OnlyTwoUnfairTriesInARowTeachTheOtherWay) {
    const struct {
        const char* name;
        std::vector<bool> busy;              // the shell busy beyond the wait, per request
        std::vector<MinimiseAllWay> learnt;  // after each
    } cases[] = {
        {"busy twice",
         {true, true, false},
         {MinimiseAllWay::Keys, MinimiseAllWay::WindowsKeyM, MinimiseAllWay::WindowsKeyM}},
        {"busy, served, busy",
         {true, false, true},
         {MinimiseAllWay::Keys, MinimiseAllWay::Keys, MinimiseAllWay::Keys}},
    };
    for (const auto& c : cases) {
        World t;
        sim::Desktop& desk = t.desk;
        desk.shell.kind = sim::ShellKind::WindowsLayout;
        Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
        App* app = t.Start();
        ASSERT_NE(app, nullptr) << c.name;
        for (std::size_t i = 0; i < c.busy.size(); ++i) {
            desk.Restore(editor);
            desk.shell.busy = c.busy[i];
            const int presses = desk.seen.winMPresses;
            desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
            desk.Run(1000);
            desk.shell.busy = false;
            desk.Run(10);
            EXPECT_EQ(desk.seen.minimiseAlls, static_cast<int>(i) + 1) << c.name << i;
            const bool learntBefore = i > 0 && c.learnt[i - 1] != MinimiseAllWay::Keys;
            EXPECT_EQ(desk.seen.winMPresses - presses, c.busy[i] || learntBefore ? 1 : 0)
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
TEST(MinimiseAllCheckTest, TheSharedWayOnlyChoosesAmongTheProgramsWaysAndGoesWithItsLesson) {
    using Way = MinimiseAllWay;
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
        {"an unknown value planted on its window", false, Planted, Way::Keys, true},
        {"an unknown value told", true, Told, Way::Keys, true},
        {"the taskbar recreated", true, Recreated, Way::Keys, true},
        {"a request no way served", true, Unserved, Way::Keys, true},
        {"learnt", true, None, Way::WindowsKeyM, false},
        // A click hands the activation to the shell's window only after the
        // Windows key + M: under Wine the shell's late focus event can let go
        // of the Windows key between it and its M.
        {"learnt, then a click", true, None, Way::WindowsKeyM, false, true},
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
    using Way = MinimiseAllWay;
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
// once too. Either way the start after them asks at once.
TEST(MinimiseAllCheckTest, TwoSecondStartsAtOnceEachReachOnlyTheRunningInstance) {
    using Way = MinimiseAllWay;
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

INSTANTIATE_TEST_SUITE_P(EachClockShellAndRequest, RevealClockTest,
                         ::testing::Combine(::testing::ValuesIn(kClocks),
                                            ::testing::ValuesIn(sim::kShellKinds),
                                            ::testing::Values(Request::Button, Request::Tray,
                                                              Request::SecondStart,
                                                              Request::TrayAlone)));

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
