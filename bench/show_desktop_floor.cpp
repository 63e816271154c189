// The fair floor of the second start: the least program that is a
// show-desktop command. It makes one window, which it never shows (a process
// with a window of its own, as every GUI program that activates another one
// has), activates the shell's window "Program Manager", waits until that
// window really is ready for keys (in front, and its thread has given it the
// focus: keys sent earlier would go elsewhere or be lost), sends
// Tab and Alt+M, and ends. Whatever a second start of
// quorvel.exe costs beyond this is its own work.
//
// Given "winm", it is the least command where the taskbar ignores Alt+M:
// Windows key + M, the shell's hot key, which needs no window in front, and end.
#include <windows.h>

namespace {

constexpr DWORD kActivationWaitMs = 300;

INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = instance;
    cls.lpszClassName = "QuorvelBenchShowDesktop";
    RegisterClassA(&cls);
    CreateWindowExA(0, cls.lpszClassName, "show desktop", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                    instance, nullptr);

    if (lstrcmpA(commandLine, "winm") == 0) {
        INPUT keys[] = {Key(VK_LWIN, false), Key('M', false), Key('M', true), Key(VK_LWIN, true)};
        SendInput(4, keys, sizeof(INPUT));
        return 0;
    }
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
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    INPUT keys[] = {Key(VK_TAB, false), Key(VK_TAB, true), Key(VK_MENU, false),
                    Key('M', false),    Key('M', true),    Key(VK_MENU, true)};
    SendInput(6, keys, sizeof(INPUT));
    return 0;
}
