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

TEST_F(TrayTest, ShowDesktopFromTheMenuReveals) {
    desk.At(10, [&] { desk.ChooseMenuItem("Show &Desktop"); });
    desk.ClickTrayIcon(iconHost, 1, true);
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_TRUE(Alive(pid));
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
