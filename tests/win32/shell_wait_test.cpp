// The reveal's wait (DesktopShell::WaitUntil) on the real message queue: it looks
// at its condition at once and then every millisecond, ends soon after the
// condition comes true or at its bound, and meanwhile takes the messages
// other threads send to this one, never those posted to it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "platform/win32/win32_runtime.h"

namespace quorvel::testing {
namespace {

// Generous against a loaded machine; a wait that runs to its bound, or ends
// on a 15.6 ms tick, is still far outside it. Each case is timed three times
// and its earliest end is judged: a busy machine delays a run now and then,
// a wait that naps on the tick or to its bound is late every time.
constexpr std::uint64_t kLateUs = 12'000;
constexpr int kTries = 3;

TEST(Win32ShellWait, EndsSoonAfterItsChangeOrAtItsBound) {
    win32::Win32Runtime runtime(GetModuleHandleA(nullptr));
    runtime.HoldFineTimer(true);
    struct Case {
        std::uint64_t changeUs;  // when the condition comes true; 0: never
        std::uint32_t boundUs;
    };
    for (const Case c : {Case{30'000, 400'000}, Case{5'000, 400'000}, Case{0, 60'000}}) {
        const std::uint64_t due = c.changeUs != 0 ? c.changeUs : c.boundUs;
        std::uint64_t earliest = UINT64_MAX;
        for (int attempt = 0; attempt < kTries; ++attempt) {
            const std::uint64_t start = runtime.NowUs();
            const bool held = runtime.WaitUntil(
                [&] { return c.changeUs != 0 && runtime.NowUs() - start >= c.changeUs; },
                c.boundUs);
            const std::uint64_t took = runtime.NowUs() - start;
            EXPECT_EQ(held, c.changeUs != 0) << c.changeUs;
            EXPECT_GE(took + 1'000, due) << c.changeUs;
            earliest = std::min(earliest, took);
        }
        EXPECT_LE(earliest, due + kLateUs) << c.changeUs;
    }
    // A condition that holds already costs no wait at all.
    const std::uint64_t start = runtime.NowUs();
    EXPECT_TRUE(runtime.WaitUntil([] { return true; }, 400'000));
    EXPECT_LT(runtime.NowUs() - start, 1'000u);
    runtime.HoldFineTimer(false);
}

constexpr UINT kSent = WM_USER + 1;
constexpr UINT kPosted = WM_USER + 2;
int g_sent = 0;
int g_posted = 0;

LRESULT CALLBACK Counting(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kSent) ++g_sent;
    if (msg == kPosted) ++g_posted;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

DWORD WINAPI PostThenSend(void* window) {
    Sleep(20);
    PostMessageA(static_cast<HWND>(window), kPosted, 0, 0);
    SendMessageA(static_cast<HWND>(window), kSent, 0, 0);
    return 0;
}

TEST(Win32ShellWait, TakesSentMessagesOnly) {
    win32::Win32Runtime runtime(GetModuleHandleA(nullptr));
    WNDCLASSA cls{};
    cls.lpfnWndProc = Counting;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "QuorvelShellWaitTest";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  cls.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    g_sent = g_posted = 0;
    HANDLE thread = CreateThread(nullptr, 0, PostThenSend, window, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // The sender waits for this thread: only a wait that takes sent
    // messages lets it return.
    EXPECT_TRUE(runtime.WaitUntil([] { return g_sent == 1; }, 2'000'000));
    EXPECT_EQ(WaitForSingleObject(thread, 2000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(g_posted, 0) << "a posted message taken during the wait";
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, window, kPosted, kPosted, PM_REMOVE));
    DestroyWindow(window);
}

}  // namespace
}  // namespace quorvel::testing
