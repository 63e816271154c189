// The least a program does to show the desktop the way quorvel.exe does:
// activate the shell's window "Program Manager", wait until it really is
// ready for keys (in front, and its thread has given it the focus: keys sent
// earlier would go elsewhere or be lost), and send Tab and Alt+M in one
// SendInput. Shared by the floors the benchmarks measure quorvel.exe against.
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

// 0 once the keys are sent; 1 without a shell window; 2 when the shell did
// not become ready for keys within the wait.
inline int RevealDesktop() {
    constexpr DWORD kActivationWaitMs = 300;
    HWND shell = FindWindowA(nullptr, "Program Manager");
    if (shell == nullptr) return 1;
    SetForegroundWindow(shell);
    DWORD start = GetTickCount();
    DWORD shellThread = GetWindowThreadProcessId(shell, nullptr);
    auto ready = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetForegroundWindow() == shell && GetGUIThreadInfo(shellThread, &info) &&
               info.hwndFocus == shell;
    };
    while (!ready()) {
        if (GetTickCount() - start > kActivationWaitMs) return 2;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    INPUT keys[] = {Key(VK_TAB, false), Key(VK_TAB, true), Key(VK_MENU, false),
                    Key('M', false),    Key('M', true),    Key(VK_MENU, true)};
    SendInput(6, keys, sizeof(INPUT));
    return 0;
}

}  // namespace bench
