// The fair floor of the second start: the least program that is a
// show-desktop command. It makes one window, which it never shows (a process
// with a window of its own, as every GUI program that activates another one
// has), shows the desktop (floor_reveal.h) and ends. Whatever a second start
// of quorvel.exe costs beyond this is its own work.
//
// Given "winm", it is the least command where the taskbar ignores Alt+M:
// Windows key + M, the shell's hot key, which needs no window in front, and
// end. Given "hide", it first hides its window as quorvel.exe's command
// does; given "wait", it sends the keys as Windows' shell needs them.
#include <windows.h>

#include "floor_reveal.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = instance;
    cls.lpszClassName = "QuorvelBenchShowDesktop";
    RegisterClassA(&cls);
    HWND self = CreateWindowExA(0, cls.lpszClassName, "show desktop", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, instance, nullptr);
    if (lstrcmpA(commandLine, "winm") == 0) {
        using bench::Key;
        INPUT keys[] = {Key(VK_LWIN, false), Key('M', false), Key('M', true), Key(VK_LWIN, true)};
        SendInput(4, keys, sizeof(INPUT));
        return 0;
    }
    if (bench::HasWord(commandLine, "hide")) bench::HideAsQuorvelDoes(self);
    return bench::RevealDesktop(bench::HasWord(commandLine, "wait"));
}
