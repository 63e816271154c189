// A form's icons on the real backend: given when the window is first shown,
// whatever shows it, so that a start that shows nothing never pays for them,
// and present before the window (and its taskbar button) can be seen.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/win32/win32_runtime.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {
namespace {

HWND WindowOf(const platform::Form& form) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(form.hWnd()));
}

// The icons are read from the program's resources, which this test program
// does not carry: what is observed is the WM_SETICON each window receives.
std::vector<std::pair<HWND, WPARAM>> g_setIcon;

LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETICON) {
        g_setIcon.emplace_back(call->hwnd, call->wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Recorder {
public:
    Recorder() : hook_(SetWindowsHookExA(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId())) {
        g_setIcon.clear();
    }
    ~Recorder() { UnhookWindowsHookEx(hook_); }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

private:
    HHOOK hook_;
};

// How many times the window was given an icon of that size.
int IconOf(HWND hwnd, WPARAM which) {
    int n = 0;
    for (const auto& [window, size] : g_setIcon) n += window == hwnd && size == which;
    return n;
}

TEST(Win32FormIcons, NoneUntilShownThenBothOnceAndNoneForTheHostForm) {
    Recorder recorder;
    win32::Win32Runtime runtime(GetModuleHandleA(nullptr));
    auto taskbarForm = runtime.CreateForm(TaskbarFormDescription(), {});
    auto iconHost = runtime.CreateForm(IconHostFormDescription(), {});
    HWND one = WindowOf(*taskbarForm);
    HWND two = WindowOf(*iconHost);
    EXPECT_EQ(IconOf(one, ICON_BIG), 0);
    EXPECT_EQ(IconOf(one, ICON_SMALL), 0);
    EXPECT_EQ(IconOf(two, ICON_BIG), 0);

    // Moves and sizes, as a second start makes them, show nothing.
    taskbarForm->SetWidth(1);
    taskbarForm->SetTop(-2500);
    EXPECT_EQ(IconOf(one, ICON_BIG), 0);

    taskbarForm->SetVisible(true);  // the taskbar button's way
    EXPECT_EQ(IconOf(one, ICON_BIG), 1);
    EXPECT_EQ(IconOf(one, ICON_SMALL), 1);

    // The host form is a tool window: no button, no Alt+Tab, no icon in
    // its caption, so it is given none.
    iconHost->Show();
    EXPECT_EQ(IconOf(two, ICON_BIG), 0);
    EXPECT_EQ(IconOf(two, ICON_SMALL), 0);
    iconHost->Hide();

    // Shown again later: given once only.
    taskbarForm->SetVisible(false);
    taskbarForm->SetVisible(true);
    EXPECT_EQ(IconOf(one, ICON_BIG), 1);
    EXPECT_EQ(IconOf(one, ICON_SMALL), 1);
}

TEST(Win32FormIcons, AShowByTheSystemAloneAlsoGivesThem) {
    // The run time's own showing of the start-up form goes through
    // ShowWindow, not through the form's methods.
    Recorder recorder;
    win32::Win32Runtime runtime(GetModuleHandleA(nullptr));
    auto taskbarForm = runtime.CreateForm(TaskbarFormDescription(), {});
    HWND one = WindowOf(*taskbarForm);
    ShowWindow(one, SW_SHOWNA);
    EXPECT_EQ(IconOf(one, ICON_BIG), 1);
    EXPECT_EQ(IconOf(one, ICON_SMALL), 1);
    ShowWindow(one, SW_HIDE);
}

}  // namespace
}  // namespace quorvel::testing
