// The notification-area icon's callbacks and its pop-up menu.
#include "icon/icon_message.h"
#include "platform/constants.h"
#include "platform/message_words.h"
#include "unit/sim_fixture.h"

namespace quorvel::testing {
namespace {

using platform::WM_LBUTTONDBLCLK;
using platform::WM_LBUTTONDOWN;
using platform::WM_LBUTTONUP;
using platform::WM_MBUTTONDOWN;
using platform::WM_MOUSEMOVE;
using platform::WM_RBUTTONDOWN;
using platform::WM_RBUTTONUP;

class TrayTest : public SimTest {
protected:
    void SetUp() override {
        StoreMode(kTrayOnly);
        app = Start();
        ASSERT_NE(app, nullptr);
        pid = lastPid;
        iconHost = app->IconHostForm().hWnd();
    }
    void Over(std::vector<std::uint32_t> messages) {
        desk.MouseOverTrayIcon(iconHost, 1, messages);
        desk.Run();
    }
    App* app = nullptr;
    int pid = 0;
    Hwnd iconHost = 0;
};

// The message number rides in X at 15 twips to the pixel.
TEST(IconMessageTest, OnlyTheTwoPressesAreMessagesOfTheIcon) {
    EXPECT_EQ(MouseMessageOfX(7695), IconMouseMessage::LeftDown);
    EXPECT_EQ(MouseMessageOfX(7740), IconMouseMessage::RightDown);
    for (float x : {0.0f, 513.0f, 7680.0f, 7695.5f, 7710.0f, 7755.0f, 15390.0f}) {
        EXPECT_EQ(MouseMessageOfX(x), IconMouseMessage::Other) << x;
    }
}

TEST_F(TrayTest, ALeftPressRevealsOnceAndWhatFollowsDoesNothing) {
    Over({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_TRUE(desk.seen.popups.empty());
}

TEST_F(TrayTest, PointerMovesReleasesAndTheMiddleButtonDoNothing) {
    Over({WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONDOWN});
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
    EXPECT_TRUE(desk.seen.popups.empty());
}

TEST_F(TrayTest, ARightPressOpensTheMenuOnce) {
    desk.At(10, [&] { desk.DismissMenu(); });
    Over({WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP});
    ASSERT_EQ(desk.seen.popups.size(), 1u);
    EXPECT_EQ(desk.seen.popups[0],
              (std::vector<std::string>{"Show &Desktop", "-", "&Configure", "About Q&uorvel", "-",
                                        "E&xit Quorvel"}));
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
}

TEST_F(TrayTest, AShiftCtrlOrAltStateMakesTheCallbackDoNothing) {
    for (std::uint32_t keyFlags : {0x4u, 0x8u}) {  // MK_SHIFT, MK_CONTROL
        desk.Post(iconHost, WM_MOUSEMOVE, 1 | keyFlags, WM_LBUTTONDOWN);
        desk.Post(iconHost, WM_MOUSEMOVE, 1 | keyFlags, WM_RBUTTONDOWN);
        desk.Run();
    }
    // A pointer position with a Y (a real mouse move over the hidden form) too.
    desk.Post(iconHost, WM_MOUSEMOVE, 1, platform::MakeLong(WM_LBUTTONDOWN, 1));
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
    EXPECT_TRUE(desk.seen.popups.empty());
}

TEST_F(TrayTest, AltHeldNowIgnoresAClickButAnAltTheProgramLastSawDownDoesNot) {
    constexpr std::uint8_t kAlt = 0x12;
    desk.HoldKey(kAlt, true);
    Over({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
    desk.HoldKey(kAlt, false);

    // Alt+F4 closes the dialog; Alt goes up over the window activated next,
    // so the program's thread never sees it released.
    desk.At(10, [&] { desk.ChooseMenuItem("&Configure"); });
    desk.At(20, [&] {
        desk.HoldKey(kAlt, true);
        desk.PressClose(app->ConfigureDialogForm()->hWnd());
    });
    Over({WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP});
    ASSERT_FALSE(app->DialogVisible());
    desk.HoldKey(kAlt, false);
    ASSERT_TRUE(desk.ThreadKeyDown(pid, kAlt));
    ASSERT_FALSE(desk.KeyDown(kAlt));

    Over({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
}

TEST_F(TrayTest, NothingAtAllWhileTheDialogOrItsAboutViewIsOpen) {
    desk.At(10, [&] { desk.ChooseMenuItem("About Q&uorvel"); });
    desk.At(20, [&] {
        desk.ClickTrayIcon(iconHost, 1);
        desk.ClickTrayIcon(iconHost, 1, true);
        platform::Form& dialog = *app->ConfigureDialogForm();
        sim::ClickControl(dialog,
                          ConfigureDialogControls(dialog).viewButton);  // the configure view
        desk.ClickTrayIcon(iconHost, 1);
        desk.ClickTrayIcon(iconHost, 1, true);
        EXPECT_EQ(desk.seen.minimiseAlls, 0);
        EXPECT_EQ(desk.seen.popups.size(), 1u);
        sim::PressKey(*app->ConfigureDialogForm(), platform::VK_ESCAPE);
    });
    desk.ClickTrayIcon(iconHost, 1, true);
    // Closed again, the icon answers.
    desk.ClickTrayIcon(iconHost, 1);
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
}

// The menu takes the foreground for the icon's host; left without a choice
// it gives the keyboard back to the user's window, the one in front before
// the press (which activates the taskbar first), and takes it from no one: a
// click on another program's window, which closed the menu, keeps that
// window in front. Alt+F4 then reaches the user's window, not the host.
TEST_F(TrayTest, AMenuLeftWithoutAChoiceGivesTheKeyboardBackAndTakesItFromNoOne) {
    const Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    const Hwnd other = desk.CreateAppWindow("Another program");
    const Hwnd onTop = desk.CreateAppWindow("Kept on top");
    const struct {
        const char* name;
        Hwnd inFront;    // before the press
        Hwnd clicked;    // closes the menu; none: Esc
        bool onTopOver;  // another program's window above the user's
        Hwnd after;
        bool thenDesktop = false;  // the user goes on to the desktop before the press
    } cases[] = {
        {"Esc", editor, 0, false, editor},
        {"Esc, another window in front since the last menu", other, 0, false, other},
        {"Esc, a window kept on top above the user's", editor, 0, true, editor},
        {"a click on another program's window", editor, other, false, other},
        {"a click on the user's own window", editor, editor, false, editor},
        {"Esc, another window used since, then the desktop", other, 0, false, other, true},
        {"the same, a window always on top above it", other, 0, true, other, true},
    };
    desk.Find(onTop)->topmost = true;
    for (const auto& c : cases) {
        desk.Activate(c.inFront);
        if (c.thenDesktop) desk.Activate(desk.Shell());
        if (c.onTopOver) desk.BringToFront(onTop);
        Hwnd ownerWhileOpen = 0;
        desk.At(10, [&] {
            ownerWhileOpen = desk.Active();
            if (c.clicked != 0) {
                desk.ClickWindow(c.clicked);
            } else {
                desk.TypeKey(platform::VK_ESCAPE);
            }
        });
        desk.ClickTrayIcon(iconHost, kIconId, true);
        desk.Run(100);
        EXPECT_EQ(ownerWhileOpen, iconHost) << c.name;
        EXPECT_EQ(desk.Active(), c.after) << c.name;
        desk.PressAltF4();
        desk.Run(100);
        EXPECT_EQ(WindowOf(c.after).typed, "<Alt+F4>") << c.name;
        desk.Find(c.after)->typed.clear();
        EXPECT_NE(desk.FindTrayIcon(iconHost, kIconId), nullptr) << c.name;
    }
    EXPECT_EQ(desk.seen.popups.size(), std::size(cases));
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
}

class TrayBesideTheButtonTest : public SimTest {};

// The taskbar form activated from the user's window (a harsh taskbar's last
// step of a click, say) takes that window as the user's: the menu left with
// Esc gives the keyboard back to it, not to the one noted before.
TEST_F(TrayBesideTheButtonTest, TheUsersWindowIsTheOneAFormTookTheActivationFrom) {
    StoreMode(kBothIcons);
    desk.CreateAppWindow("Older");  // in front at the start: the one noted
    App* app = Start();
    ASSERT_NE(app, nullptr);
    const Hwnd newer = desk.CreateAppWindow("Newer");
    desk.Drive([&] { desk.Activate(app->TaskbarForm().hWnd()); });
    desk.Run(100);
    ASSERT_EQ(desk.seen.minimiseAlls, 0);
    desk.At(10, [&] { desk.TypeKey(platform::VK_ESCAPE); });
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId, true);
    desk.Run(100);
    EXPECT_EQ(desk.Active(), newer);
}

TEST_F(TrayTest, ShowDesktopFromTheMenuReveals) {
    desk.At(10, [&] { desk.ChooseMenuItem("Show &Desktop"); });
    desk.ClickTrayIcon(iconHost, 1, true);
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_TRUE(Alive(pid));
}

// Ended inside its menu's loop (WM_QUIT from outside), the program takes its
// menu with it: the next start's menu opens.
TEST_F(TrayTest, AMenuGoesWithTheProcessThatEndsInsideIt) {
    desk.At(10, [&] { desk.PostQuit(pid); });
    desk.ClickTrayIcon(iconHost, 1, true);
    ASSERT_FALSE(Alive(pid));
    EXPECT_FALSE(desk.MenuOpen());
    App* again = Start();
    ASSERT_NE(again, nullptr);
    bool opened = false;
    desk.At(10, [&] {
        opened = desk.MenuOpen();
        desk.DismissMenu();
    });
    desk.ClickTrayIcon(again->IconHostForm().hWnd(), 1, true);
    EXPECT_TRUE(opened);
    EXPECT_EQ(desk.seen.popups.size(), 2u);
}

TEST_F(TrayTest, ExitFromTheMenuRemovesTheIconAndEnds) {
    desk.At(10, [&] { desk.ChooseMenuItem("E&xit Quorvel"); });
    desk.ClickTrayIcon(iconHost, 1, true);
    EXPECT_FALSE(Alive(pid));
    EXPECT_EQ(desk.FindTrayIcon(iconHost, 1), nullptr);
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
}

}  // namespace
}  // namespace quorvel::testing
