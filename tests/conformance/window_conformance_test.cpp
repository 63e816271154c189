// SetWindowPos with the special insert-after values, made as the program
// makes them (32-bit values), against a window system: the simulated one and
// Wine's. A build that widened -2 with zeros hands Windows an invalid window.
#include <gtest/gtest.h>

#include "conformance/window_target.h"
#include "platform/constants.h"

namespace quorvel::testing {
namespace {

using namespace platform;

TEST(WindowConformance, TheSpecialInsertAfterValuesPlaceAndHideTheWindow) {
    WindowTarget& t = Windows();
    WinApi& api = t.api();
    const Hwnd front = t.NewWindow();
    const Hwnd back = t.NewWindow();
    const std::uint32_t keepPlace = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
    const struct {
        const char* name;
        Hwnd window, insertAfter;
        bool windowInFront;  // of the other one, afterwards
    } cases[] = {
        {"HWND_TOP brings it forward", front, HWND_TOP, true},
        {"HWND_BOTTOM sends it back", front, HWND_BOTTOM, false},
        {"HWND_TOP again", front, HWND_TOP, true},
        {"behind another window", front, back, false},
        {"HWND_NOTOPMOST moves no window that is not topmost", front, HWND_NOTOPMOST, false},
    };
    for (const auto& c : cases) {
        EXPECT_NE(api.SetWindowPos(c.window, c.insertAfter, 0, 0, 0, 0, keepPlace), 0) << c.name;
        EXPECT_EQ(t.Place(front) < t.Place(back), c.windowInFront) << c.name;
    }
    // The reveal's own call: hidden, with its taskbar button, where it is.
    EXPECT_NE(api.SetWindowPos(front, HWND_NOTOPMOST, 300, 300, 300, 300,
                               SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW),
              0);
    EXPECT_FALSE(t.Visible(front));
    EXPECT_TRUE(t.Visible(back));
    EXPECT_FALSE(t.Active(front));
    // A window not shown has no SWP_HIDEWINDOW to honour, and without
    // SWP_NOACTIVATE "the window is activated" (SetWindowPos): the same call
    // activates the taskbar form of a second start, which never shows it.
    const Hwnd hidden = t.NewWindow(true);
    EXPECT_NE(api.SetWindowPos(hidden, HWND_NOTOPMOST, 300, 300, 300, 300,
                               SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW),
              0);
    EXPECT_TRUE(t.Active(hidden));
    EXPECT_FALSE(t.Visible(hidden));
    t.Destroy(hidden);
    t.Destroy(front);
    t.Destroy(back);
}

}  // namespace
}  // namespace quorvel::testing
