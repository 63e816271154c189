#include "platform/win32/win32_shell_wait.h"

#include "platform/win32/look_up.h"

namespace quorvel::win32 {

namespace {

// Not in every SDK's headers; the value CreateWaitableTimerExW documents.
constexpr DWORD kHighResolutionTimer = 0x00000002;
// The look between two events: what no hooked event announces is seen this
// late at most.
constexpr double kPollMs = 1.0;

// Its arrival is all the wait needs: the wait then looks again.
void CALLBACK Heard(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {}

HWINEVENTHOOK Hook(DWORD event, DWORD process) {
    return SetWinEventHook(event, event, nullptr, Heard, process, 0,
                           WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
}

HANDLE PreciseTimer() {
    // Windows 10 version 1803 and later; earlier ones refuse the flag
    // (ERROR_INVALID_PARAMETER), and XP has no CreateWaitableTimerExW.
    using Create = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD);
    const auto create = LookUp<Create>(GetModuleHandleA("kernel32.dll"), "CreateWaitableTimerExW");
    if (create != nullptr) {
        if (HANDLE timer = create(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS)) {
            return timer;
        }
    }
    return CreateWaitableTimerA(nullptr, FALSE, nullptr);
}

}  // namespace

ShellWait::ShellWait(HWND watched) : timer_(PreciseTimer()) {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
    DWORD process = 0;
    if (watched != nullptr) GetWindowThreadProcessId(watched, &process);
    // Never every process's events: only the shell's can end these waits.
    if (process != 0 && process != GetCurrentProcessId()) {
        foreground_ = Hook(EVENT_SYSTEM_FOREGROUND, process);
        focus_ = Hook(EVENT_OBJECT_FOCUS, process);
    }
}

ShellWait::~ShellWait() {
    if (foreground_ != nullptr) UnhookWinEvent(foreground_);
    if (focus_ != nullptr) UnhookWinEvent(focus_);
}

double ShellWait::Elapsed() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency_.QuadPart);
}

bool ShellWait::Until(const std::function<bool()>& ready, double boundMs) {
    for (;;) {
        if (ready()) return true;
        const double left = boundMs - Elapsed();
        if (left <= 0) return false;
        Nap(left < kPollMs ? left : kPollMs);
    }
}

void ShellWait::Nap(double ms) {
    // Relative due time, in 100-nanosecond units.
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(ms * 10000.0);
    const DWORD whole = static_cast<DWORD>(ms) + 1;
    if (timer_ && SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE)) {
        HANDLE timer = timer_.get();
        // The timer ends the wait; the timeout is only a guard, a tick later.
        MsgWaitForMultipleObjects(1, &timer, FALSE, whole + 16, QS_SENDMESSAGE);
        CancelWaitableTimer(timer);
    } else {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, whole, QS_SENDMESSAGE);
    }
    // Sent messages and the hooks' events are taken here. Nothing else is:
    // under Wine a wait takes the display's events for the kinds of
    // message it asks for, and a focus event of our own window taken
    // during the keys would take the foreground back from the shell.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace quorvel::win32
