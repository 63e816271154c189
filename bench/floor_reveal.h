// The least a program does to show the desktop the way quorvel.exe does:
// activate the shell's window "Program Manager", wait until it really is
// ready for keys (in front, and its thread has given it the focus: keys sent
// earlier would go elsewhere or be lost), and send Tab and Alt+M. Shared by
// the floors the benchmarks measure quorvel.exe against.
//
// Two ways to send the keys:
// - all six in one SendInput: enough where the window in front takes both
//   keys, and under Wine, which hands a key to the thread in front only as
//   that thread reads it;
// - as Windows' own shell needs them: Windows gives a key to the thread in
//   front as it takes the key off the system queue, and Tab moves the
//   keyboard from the desktop's thread to the taskbar's, so Alt+M goes once
//   the keyboard has left the desktop, or after the same 4 ms bound
//   quorvel.exe gives a shell whose one window takes both keys.
#pragma once

#include <windows.h>

namespace bench {

inline INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

inline bool HasFocus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
           info.hwndFocus != nullptr;
}

// Waits, taking what is sent to this thread, until `done` or `boundMs`:
// a look every millisecond at most and the last one at the bound, on a
// waitable timer, as quorvel.exe's waits (a wait's own timeout is whole
// milliseconds).
template <class Done>
bool WaitUntil(Done done, double boundMs) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
    bool reached = true;
    while (!done()) {
        QueryPerformanceCounter(&now);
        const double left = boundMs - 1000.0 * (now.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (left <= 0) {
            reached = false;
            break;
        }
        LARGE_INTEGER due;
        due.QuadPart = -static_cast<LONGLONG>((left < 1 ? left : 1) * 10000.0);
        SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
        MsgWaitForMultipleObjects(1, &timer, FALSE, 20, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(timer);
    return reached;
}

// 0 once the keys are sent; 1 without a shell window; 2 when the shell did
// not become ready for keys within the wait.
inline int RevealDesktop(bool asWindowsNeeds = false) {
    constexpr double kActivationWaitMs = 300;
    constexpr double kKeyboardWaitMs = 4;
    HWND shell = FindWindowA(nullptr, "Program Manager");
    if (shell == nullptr) return 1;
    SetForegroundWindow(shell);
    const DWORD shellThread = GetWindowThreadProcessId(shell, nullptr);
    auto ready = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetForegroundWindow() == shell && GetGUIThreadInfo(shellThread, &info) &&
               info.hwndFocus == shell;
    };
    if (!WaitUntil(ready, kActivationWaitMs)) return 2;
    INPUT tab[] = {Key(VK_TAB, false), Key(VK_TAB, true)};
    INPUT altM[] = {Key(VK_MENU, false), Key('M', false), Key('M', true), Key(VK_MENU, true)};
    if (!asWindowsNeeds) {
        INPUT keys[] = {tab[0], tab[1], altM[0], altM[1], altM[2], altM[3]};
        SendInput(6, keys, sizeof(INPUT));
        return 0;
    }
    SendInput(2, tab, sizeof(INPUT));
    WaitUntil(
        [&] {
            HWND inFront = GetForegroundWindow();
            return inFront != nullptr && inFront != shell && HasFocus(inFront);
        },
        kKeyboardWaitMs);
    SendInput(4, altM, sizeof(INPUT));
    return 0;
}

// quorvel.exe's command begins by hiding its taskbar window with
// SetWindowPos, HWND_NOTOPMOST and the flags 0x83. Without SWP_NOACTIVATE
// "the window is activated" (SetWindowPos), a window not yet shown too:
// what a second start pays for it, this pays as well.
inline void HideAsQuorvelDoes(HWND window) {
    SetWindowPos(window, HWND_NOTOPMOST, 300, 300, 300, 300,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW);
}

// Whether `word` is one of the command line's words ("hide", "wait").
inline bool HasWord(const char* commandLine, const char* word) {
    for (const char* p = commandLine; *p != '\0';) {
        while (*p == ' ') ++p;
        const char* w = word;
        while (*w != '\0' && *p == *w) ++p, ++w;
        if (*w == '\0' && (*p == ' ' || *p == '\0')) return true;
        while (*p != ' ' && *p != '\0') ++p;
    }
    return false;
}

}  // namespace bench
