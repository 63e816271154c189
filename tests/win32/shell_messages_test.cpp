// How the real backend hears the shell: the restarted taskbar's broadcast
// through the message filter, and the icon's callback with a stale Alt.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/win32_message_filter.h"
#include "platform/win32/win32_runtime.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {
namespace {

struct FilterCall {
    HWND window;
    UINT message;
    DWORD action;
};
std::vector<FilterCall> perWindowCalls;
std::vector<FilterCall> perProcessCalls;

BOOL WINAPI PerWindow(HWND window, UINT message, DWORD action, void*) {
    perWindowCalls.push_back({window, message, action});
    return TRUE;
}
BOOL WINAPI PerProcess(UINT message, DWORD action) {
    perProcessCalls.push_back({nullptr, message, action});
    return TRUE;
}

TEST(Win32MessageFilter, ThePerWindowFilterIsPreferredThenThePerProcessOne) {
    auto window = reinterpret_cast<HWND>(0x1234);
    perWindowCalls.clear();
    perProcessCalls.clear();
    EXPECT_TRUE(win32::AllowThroughMessageFilter({PerWindow, PerProcess}, window, 0xC123));
    ASSERT_EQ(perWindowCalls.size(), 1u);
    EXPECT_EQ(perWindowCalls[0].window, window);
    EXPECT_EQ(perWindowCalls[0].message, 0xC123u);
    EXPECT_EQ(perWindowCalls[0].action, 1u);  // MSGFLT_ALLOW
    EXPECT_TRUE(perProcessCalls.empty());

    EXPECT_TRUE(win32::AllowThroughMessageFilter({nullptr, PerProcess}, window, 0xC123));
    ASSERT_EQ(perProcessCalls.size(), 1u);
    EXPECT_EQ(perProcessCalls[0].message, 0xC123u);
    EXPECT_EQ(perProcessCalls[0].action, 1u);  // MSGFLT_ADD
    // A system without a filter: nothing to call.
    EXPECT_FALSE(win32::AllowThroughMessageFilter({}, window, 0xC123));
}

// The second start's message is let through on the window alone: where
// only Vista's per-process filter exists it stays filtered.
TEST(Win32MessageFilter, TheSharedWaysMessageOnlyThroughThePerWindowFilter) {
    auto window = reinterpret_cast<HWND>(0x1234);
    perWindowCalls.clear();
    perProcessCalls.clear();
    EXPECT_TRUE(win32::AllowThroughWindowFilter({PerWindow, PerProcess}, window, 0xC124));
    ASSERT_EQ(perWindowCalls.size(), 1u);
    EXPECT_EQ(perWindowCalls[0].window, window);
    EXPECT_EQ(perWindowCalls[0].message, 0xC124u);
    EXPECT_EQ(perWindowCalls[0].action, 1u);  // MSGFLT_ALLOW
    EXPECT_FALSE(win32::AllowThroughWindowFilter({nullptr, PerProcess}, window, 0xC124));
    EXPECT_TRUE(perProcessCalls.empty());
}

TEST(Win32MessageFilter, TheFunctionsAreFoundInThisSystemsUser32) {
    win32::MessageFilter filter = win32::LookUpMessageFilter(GetModuleHandleA("user32.dll"));
    EXPECT_NE(filter.perWindow, nullptr);
    EXPECT_NE(filter.perProcess, nullptr);
    EXPECT_EQ(win32::LookUpMessageFilter(nullptr).perWindow, nullptr);
}

TEST(Win32TrayCallback, AnAltTheThreadLastSawDownDoesNotReachTheHandler) {
    win32::Win32Runtime runtime(GetModuleHandleA(nullptr));
    std::vector<std::int16_t> shifts;
    platform::FormEvents events;
    events.MouseMove = [&](std::int16_t&, std::int16_t& shift, float&, float&) {
        shifts.push_back(shift);
    };
    auto iconHost = runtime.CreateForm(IconHostFormDescription(), std::move(events));
    auto hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(iconHost->hWnd()));

    // The thread saw Alt go down and never saw it come up (it went up over
    // another program's window); the keyboard has it up.
    BYTE keys[256] = {};
    ASSERT_TRUE(GetKeyboardState(keys));
    keys[VK_MENU] = 0x80;
    keys[VK_LMENU] = 0x80;
    ASSERT_TRUE(SetKeyboardState(keys));
    ASSERT_LT(GetKeyState(VK_MENU), 0);
    ASSERT_GE(GetAsyncKeyState(VK_MENU), 0) << "Alt is held on this keyboard";

    SendMessageA(hwnd, WM_MOUSEMOVE, 1, WM_LBUTTONDOWN);
    keys[VK_MENU] = 0;
    keys[VK_LMENU] = 0;
    SetKeyboardState(keys);
    ASSERT_EQ(shifts.size(), 1u);
    EXPECT_EQ(shifts[0], 0);
}

}  // namespace
}  // namespace quorvel::testing
