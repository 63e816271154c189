// The show-desktop command and its trigger on the taskbar button: every
// click one reveal, the program's own activations none, and the taskbar
// form hidden in place while the shell minimises all.
#include <optional>

#include "platform/constants.h"
#include "platform/message_words.h"
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

// Where Windows will not let the shell's window be brought forward (a
// start in the background, so the program may not take the foreground back
// from the window that took it from the shell), the keys would land in the
// user's document: none are sent, the request goes the other way, and the
// taskbar button comes back as after any reveal.
TEST_F(RevealTest, NoKeysWhenTheShellCannotBeActivated) {
    StoreMode(kBothIcons);
    Hwnd editor = Editor();
    desk.processes.startedInBackground = true;
    desk.shell.objectWorks = true;
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.TakeForegroundFromShell(editor);
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
    desk.Run(1000);
    EXPECT_TRUE(WindowOf(editor).minimised);
    EXPECT_EQ(WindowOf(editor).typed, "");
    EXPECT_TRUE(desk.seen.shellKeys.empty());
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_EQ(desk.seen.shellObjectCalls, 1);
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

}  // namespace
}  // namespace quorvel::testing
