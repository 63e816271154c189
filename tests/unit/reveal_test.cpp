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
    EXPECT_EQ(app->Form1().Tag(), "*");
    EXPECT_EQ(desk.MinimiseAllCount(), 0);
    EXPECT_FALSE(W(editor).minimised);

    desk.calls.clear();
    Hwnd form1 = app->Form1().hWnd();
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
        Hwnd form1 = app->Form1().hWnd();
        desk.Find(form1)->x = 0;
        desk.ClickTaskbarButton(form1);
        desk.Run();
        EXPECT_TRUE(desk.HasTaskbarButton(form1)) << "mode " << mode;
        EXPECT_EQ(W(form1).x, -167);
        EXPECT_EQ(W(app->Form2().hWnd()).y, -167);
        EXPECT_FALSE(W(app->Form2().hWnd()).visible);
        desk.ShutDown();
    }
}

TEST_F(RevealTest, InTrayOnlyModeARevealLeavesNoTaskbarButton) {
    StoreMode("1");
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.ClickTrayIcon(app->Form2().hWnd(), 1);
    desk.Run();
    EXPECT_EQ(desk.MinimiseAllCount(), 1);
    EXPECT_FALSE(desk.HasTaskbarButton(app->Form1().hWnd()));
}

TEST_F(RevealTest, NoRevealWhileTheDialogIsOpen) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd form1 = app->Form1().hWnd();
    desk.At(50, [&] {
        ASSERT_TRUE(app->DialogVisible());
        desk.Activate(form1);  // e.g. the taskbar button, while the dialog shows
        desk.RunPending();
        EXPECT_EQ(desk.MinimiseAllCount(), 0);
        desk.PressClose(app->Form3()->hWnd());
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
    Hwnd form1 = app->Form1().hWnd();
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
    desk.ClickTrayIcon(app->Form2().hWnd(), 1);
    desk.Run();
    EXPECT_EQ(desk.Active(), editor);
    EXPECT_EQ(W(editor).typed, "");
    EXPECT_EQ(desk.MinimiseAllCount(), 0);
    EXPECT_TRUE(desk.HasTaskbarButton(app->Form1().hWnd()));
    EXPECT_EQ(W(app->Form1().hWnd()).x, -167);
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
    desk.ClickTrayIcon(app->Form2().hWnd(), 1);
    desk.Run();
    EXPECT_EQ(desk.MinimiseAllCount(), 1);
    // ... and the next click on the taskbar button is still one reveal.
    desk.ClickTaskbarButton(app->Form1().hWnd());
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
    const auto keys = platform::KeyEvents(platform::ParseKeys("{tab}%m"), {});

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
