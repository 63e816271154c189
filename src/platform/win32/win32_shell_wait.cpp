#include "platform/win32/win32_shell_wait.h"

#include <mmsystem.h>

#include "platform/runtime.h"
#include "platform/win32/look_up.h"
#include "platform/win32/win32_system_library.h"

namespace quorvel::win32 {

namespace {

// Not in every SDK's headers; the value CreateWaitableTimerExW documents.
constexpr DWORD kHighResolutionTimer = 0x00000002;

HANDLE HighResolutionTimer() {
    // Windows 10 version 1803 and later; earlier ones refuse the flag
    // (ERROR_INVALID_PARAMETER), and XP has no CreateWaitableTimerExW.
    using Create = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD);
    const auto create = LookUp<Create>(GetModuleHandleA("kernel32.dll"), "CreateWaitableTimerExW");
    return create != nullptr ? create(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS)
                             : nullptr;
}

HANDLE PreciseTimer() {
    if (HANDLE timer = HighResolutionTimer()) return timer;
    return CreateWaitableTimerA(nullptr, FALSE, nullptr);
}

// Whether this Windows has high-resolution waitable timers (1803 and later).
bool HasHighResolutionTimers() {
    static const bool has = [] {
        KernelHandle probe(HighResolutionTimer());
        return static_cast<bool>(probe);
    }();
    return has;
}

}  // namespace

ShellWait::ShellWait() : timer_(PreciseTimer()) {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
}

double ShellWait::ElapsedUs() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1e6 * static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency_.QuadPart);
}

bool ShellWait::Until(const std::function<bool()>& ready, double boundUs) {
    for (;;) {
        if (ready()) return true;
        const double left = boundUs - ElapsedUs();
        if (left <= 0) return false;
        Nap(left < platform::kWaitLookUs ? left : platform::kWaitLookUs);
    }
}

void ShellWait::Nap(double us) {
    // Relative due time, in 100-nanosecond units.
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(us * 10.0);
    const DWORD whole = static_cast<DWORD>(us / 1000.0) + 1;
    if (timer_ && SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE)) {
        HANDLE timer = timer_.get();
        // The timer ends the wait; the timeout is only a guard, a tick later.
        MsgWaitForMultipleObjects(1, &timer, FALSE, whole + 16, QS_SENDMESSAGE);
        CancelWaitableTimer(timer);
    } else {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, whole, QS_SENDMESSAGE);
    }
    // Sent messages are taken here. Nothing else is: under Wine a wait takes
    // the display's events for the kinds of message it asks for, and a focus
    // event of our own window taken during the keys would take the
    // foreground back from the shell.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void TimerResolutionHold::Hold(bool hold) {
    if (hold == held_) return;
    if (hold && !lookedUp_) {
        lookedUp_ = true;
        if (!HasHighResolutionTimers()) {
            HMODULE winmm = LoadSystemLibrary("winmm.dll");
            using DevCaps = MMRESULT(WINAPI*)(LPTIMECAPS, UINT);
            TIMECAPS caps{};
            const auto devCaps = LookUp<DevCaps>(winmm, "timeGetDevCaps");
            if (devCaps != nullptr && devCaps(&caps, sizeof caps) == MMSYSERR_NOERROR) {
                begin_ = LookUp<Period>(winmm, "timeBeginPeriod");
                end_ = LookUp<Period>(winmm, "timeEndPeriod");
                period_ = caps.wPeriodMin;
            }
        }
    }
    if (begin_ == nullptr || end_ == nullptr) return;
    // Every timeBeginPeriod is matched by a timeEndPeriod of the same value.
    if (hold) {
        held_ = begin_(period_) == TIMERR_NOERROR;
    } else {
        end_(period_);
        held_ = false;
    }
}

}  // namespace quorvel::win32
