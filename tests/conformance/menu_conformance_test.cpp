// What the program's icon relies on from the window system, checked on the
// simulated desktop and under Wine alike: a menu left with Esc leaves its
// owner in front, and one stays up when another thread takes the
// foreground; Alt+F4 to a window without focus becomes its close command; a
// message sent from another thread reaches a wait for sent messages.
#include <gtest/gtest.h>

#include "conformance/menu_target.h"
#include "platform/constants.h"

namespace quorvel::testing {
namespace {

TEST(MenuConformance, EscLeavesAMenuWithoutAChoiceAndItsOwnerInFront) {
    MenuTarget& t = Menus();
    const platform::Hwnd owner = t.WindowInFront();
    ASSERT_EQ(t.Foreground(), owner);
    EXPECT_EQ(t.MenuLeftWithEscape(owner), 0u);
    EXPECT_EQ(t.Foreground(), owner);
    t.Destroy(owner);
}

// No Microsoft page says that a menu ends when its thread loses the
// foreground; under Wine it stays up, its owner told nothing. The user's
// keys then go to the window in front, not to the menu.
TEST(MenuConformance, AMenuStaysUpWhenAnotherThreadTakesTheForeground) {
    MenuTarget& t = Menus();
    const platform::Hwnd owner = t.WindowInFront();
    const auto seen = t.MenuWhileAnotherThreadTakesTheForeground(owner);
    ASSERT_NE(seen.taker, 0u);
    EXPECT_EQ(seen.foreground, seen.taker);
    EXPECT_TRUE(seen.menuShown);
    EXPECT_FALSE(seen.ownerCancelled);
    t.Destroy(owner);
}

TEST(MenuConformance, AltF4ToAWindowWithoutFocusIsItsCloseCommand) {
    MenuTarget& t = Menus();
    const platform::Hwnd window = t.WindowInFront();
    EXPECT_EQ(t.CommandsAfterAltF4(window), std::vector<std::uint32_t>{platform::SC_CLOSE});
    t.Destroy(window);
}

TEST(MenuConformance, AWaitForSentMessagesTakesTheIconsCallbackSentMeanwhile) {
    MenuTarget& t = Menus();
    const platform::Hwnd window = t.WindowInFront();
    EXPECT_TRUE(t.WaitTakesAMessageSent(window));
    t.Destroy(window);
}

}  // namespace
}  // namespace quorvel::testing
