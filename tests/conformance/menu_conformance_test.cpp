// What the program's icon relies on from the window system, checked on the
// simulated desktop and under Wine alike: a menu left with Esc leaves its
// owner in front; Alt+F4 to a window without focus becomes its close
// command; a message sent from another thread reaches a wait for sent
// messages.
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
