// A WM_QUIT posted to the program's thread, in each of its loops: the main
// one, a modal form's, DoEvents and PumpUntil. The running instance ends
// through its own exit (QuitReceived, then the end of the process); a second
// start ends at once, without it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/win32/win32_runtime.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {
namespace {

// The end of the process, seen instead of had.
struct Ended {};

class EndSeen : public win32::Win32Runtime {
public:
    using Win32Runtime::Win32Runtime;

protected:
    void EndProcess() override { throw Ended{}; }
};

// No WM_QUIT left for the tests after (one a loop did not take).
void DropQuits() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

TEST(Win32Quit, AQuitInEveryLoopEndsTheRunningInstanceThroughItsExit) {
    EndSeen runtime(GetModuleHandleA(nullptr));
    ASSERT_FALSE(runtime.PrevInstance());
    int exits = 0;
    runtime.QuitReceived = [&] { ++exits; };
    auto form = runtime.CreateForm(TaskbarFormDescription(), {});
    const struct {
        const char* name;
        std::function<void()> loop;
    } loops[] = {
        {"the main loop", [&] { runtime.RunMessageLoop(); }},
        {"DoEvents", [&] { runtime.DoEvents(); }},
        {"PumpUntil", [&] { runtime.PumpUntil([] { return false; }); }},
        {"a modal form's loop", [&] { form->ShowModal(); }},
    };
    for (const auto& l : loops) {
        exits = 0;
        PostQuitMessage(7);
        EXPECT_THROW(l.loop(), Ended) << l.name << ": the loop went on or returned";
        EXPECT_EQ(exits, 1) << l.name << ": not through the program's exit";
        DropQuits();
    }
}

TEST(Win32Quit, ASecondStartEndsAtOnceWithoutTheExit) {
    EndSeen first(GetModuleHandleA(nullptr));
    EndSeen second(GetModuleHandleA(nullptr));
    ASSERT_TRUE(second.PrevInstance());
    int exits = 0;
    second.QuitReceived = [&] { ++exits; };
    PostQuitMessage(0);
    EXPECT_THROW(second.PumpUntil([] { return false; }), Ended);
    EXPECT_EQ(exits, 0);
    DropQuits();
}

}  // namespace
}  // namespace quorvel::testing
