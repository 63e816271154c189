// The window-menu rewrite on a real taskbar form window, read back in-process (the
// menu of another process cannot be read under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "icon/system_menu.h"
#include "platform/win32/win32_runtime.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {
namespace {

struct Entry {
    UINT id;
    std::string text;
};

std::vector<Entry> ReadMenu(HMENU menu) {
    std::vector<Entry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        entries.push_back({GetMenuItemID(menu, i), text});
    }
    return entries;
}

TEST(Win32SystemMenu, CloseReadsConfigureAndMoveAndItsSeparatorAreGone) {
    win32::Win32Runtime runtime(GetModuleHandleA(nullptr));
    auto taskbarForm = runtime.CreateForm(TaskbarFormDescription(), {});
    HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(taskbarForm->hWnd()));
    std::vector<Entry> before = ReadMenu(GetSystemMenu(hwnd, FALSE));
    ASSERT_GE(before.size(), 7u);
    ASSERT_EQ(before[6].id, static_cast<UINT>(SC_CLOSE)) << "position 6 is not Close here";

    RewriteSystemMenu(runtime.api(), taskbarForm->hWnd());
    std::vector<Entry> after = ReadMenu(GetSystemMenu(hwnd, FALSE));
    ASSERT_GE(after.size(), 5u);
    EXPECT_EQ(after[0].id, static_cast<UINT>(SC_RESTORE));
    EXPECT_EQ(after[1].id, static_cast<UINT>(SC_SIZE));
    EXPECT_EQ(after[2].id, static_cast<UINT>(SC_MINIMIZE));
    EXPECT_EQ(after[3].id, static_cast<UINT>(SC_MAXIMIZE));
    EXPECT_EQ(after[4].id, static_cast<UINT>(SC_CLOSE));
    EXPECT_EQ(after[4].text, "&Configure");
    EXPECT_EQ(after.size(), before.size() - 2);
    for (const Entry& e : after) EXPECT_NE(e.id, static_cast<UINT>(SC_MOVE));
}

}  // namespace
}  // namespace quorvel::testing
