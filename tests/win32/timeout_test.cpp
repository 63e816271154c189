// One-shot timers on the real message loop.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_runtime.h"

namespace quorvel::testing {
namespace {

TEST(Win32Timeout, ATimerRunsOnceAndAClearedOneNever) {
    win32::Win32Runtime runtime(GetModuleHandleA(nullptr));
    int once = 0;
    int cleared = 0;
    int last = 0;
    EXPECT_NE(runtime.SetTimeout(10, [&] { ++once; }), 0);
    int id = runtime.SetTimeout(10, [&] { ++cleared; });
    runtime.ClearTimeout(id);
    runtime.ClearTimeout(0);  // nothing to clear
    // A periodic 10 ms timer would have run many times before this one.
    runtime.SetTimeout(300, [&] { ++last; });
    const DWORD start = GetTickCount();
    while (last == 0 && GetTickCount() - start < 10000) {
        runtime.DoEvents();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    EXPECT_EQ(last, 1);
    EXPECT_EQ(once, 1);
    EXPECT_EQ(cleared, 0);
}

}  // namespace
}  // namespace quorvel::testing
