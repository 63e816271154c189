// The show-desktop command and its trigger on the taskbar button.
#include <algorithm>

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

    desk.calls.clear();
    Hwnd form1 = app->TaskbarForm().hWnd();
    desk.ClickTaskbarButton(form1);
    desk.Run();
    EXPECT_EQ(desk.MinimiseAllCount(), 1);
    EXPECT_TRUE(W(editor).minimised);
    char expected[80];
    std::snprintf(expected, sizeof expected, "SetWindowPos(0x%X, -2, 300, 300, 300, 300, 0x83)",
                  form1);
    // The reveal's first move of a window (the restore's Resize comes first).
    auto first = std::find_if(desk.calls.begin(), desk.calls.end(),
                              [](const std::string& c) { return c.rfind("SetWindowPos", 0) == 0; });
    ASSERT_NE(first, desk.calls.end());
    EXPECT_EQ(*first, expected);

    for (int click = 2; click <= 5; ++click) {
        desk.ClickTaskbarButton(form1);
        desk.Run();
        EXPECT_EQ(desk.MinimiseAllCount(), click);
    }
    // A reveal with everything minimised already sends the same keys again.
    EXPECT_TRUE(desk.HasTaskbarButton(form1));
}

TEST_F(RevealTest, TaskbarButtonIsBackAndBothFormsOffScreenAfterAReveal) {
    for (const char* mode : {"2", "3"}) {
        StoreMode(mode);
        App* app = Start();
        ASSERT_NE(app, nullptr);
        Hwnd form1 = app->TaskbarForm().hWnd();
        desk.Find(form1)->x = 0;
        desk.ClickTaskbarButton(form1);
        desk.Run();
        EXPECT_TRUE(desk.HasTaskbarButton(form1)) << "mode " << mode;
        EXPECT_EQ(W(form1).x, -167);
        EXPECT_EQ(W(app->IconHostForm().hWnd()).y, -167);
        EXPECT_FALSE(W(app->IconHostForm().hWnd()).visible);
        desk.ShutDown();
    }
}

TEST_F(RevealTest, InTrayOnlyModeARevealLeavesNoTaskbarButton) {
    StoreMode("1");
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1);
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
    EXPECT_EQ(W(form1).x, -167);
}

// Under the foreground lock the shell's window cannot be activated: the keys
// would land in the user's document, so none are sent.
TEST_F(RevealTest, NoKeysWhenTheShellCannotBeActivated) {
    StoreMode("3");
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd editor = Editor();
    desk.foregroundLocked = true;
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1);
    desk.Run();
    EXPECT_EQ(desk.Active(), editor);
    EXPECT_EQ(W(editor).typed, "");
    EXPECT_EQ(desk.MinimiseAllCount(), 0);
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    EXPECT_EQ(W(app->TaskbarForm().hWnd()).x, -167);
}

}  // namespace
}  // namespace quorvel::testing

namespace quorvel::testing {
namespace {

// SetWindowPos without SWP_NOACTIVATE activates Form1, also from the tray
// icon's callback and in a second instance: that activation is the program's
// own and must not start a second reveal.
TEST_F(RevealTest, OwnActivationOfForm1DuringARevealIsNoClick) {
    StoreMode("3");
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1);
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

}  // namespace
}  // namespace quorvel::testing

namespace quorvel::testing {
namespace {

// The simulated shell is no kinder than Wine's: its window is in front at
// once, but takes the keyboard focus only when its thread has handled the
// activation, and keys queued before that are system keys to it.
TEST(SimulatedShellTest, KeysBeforeTheShellHasTakenItsActivationMinimiseNothing) {
    sim::Desktop desk;
    Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    desk.Activate(editor);
    desk.RunPending();
    std::vector<platform::KeyEvent> keys;
    for (const auto& batch : platform::KeyBatches(platform::ParseKeys("{tab}%m"), {})) {
        keys.insert(keys.end(), batch.begin(), batch.end());
    }

    desk.Activate(desk.Shell());
    EXPECT_EQ(desk.Active(), desk.Shell());
    EXPECT_FALSE(desk.HasKeyboardFocus(desk.Shell()));
    desk.QueueKeys(keys);
    desk.RunPending();
    EXPECT_EQ(desk.MinimiseAllCount(), 0);
    EXPECT_FALSE(desk.Find(editor)->minimised);

    ASSERT_TRUE(desk.HasKeyboardFocus(desk.Shell()));
    desk.QueueKeys(keys);
    desk.RunPending();
    EXPECT_EQ(desk.MinimiseAllCount(), 1);
    EXPECT_TRUE(desk.Find(editor)->minimised);
}

}  // namespace
}  // namespace quorvel::testing

namespace quorvel::testing {
namespace {

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
        t.StoreMode("3");
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
        const std::size_t traced = desk.trace.size();
        desk.ClickTrayIcon(app->IconHostForm().hWnd(), 1);
        desk.Run(50);
        EXPECT_EQ(desk.MinimiseAllCount(), 2) << c.name << ": the second request";
        const bool atOnce = std::any_of(desk.trace.begin() + traced, desk.trace.end(),
                                        [](const std::string& line) {
                                            return line.find("the other way at once") !=
                                                   std::string::npos;
                                        });
        EXPECT_EQ(atOnce, c.shellObjectCalls > 0) << c.name;
        desk.Run(1000);
        EXPECT_EQ(desk.MinimiseAllCount(), 2) << c.name << ": the second request asked twice";
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
