// The fair floor of the second start: the least program that is a
// show-desktop command. It makes one window, which it never shows (a process
// with a window of its own, as every GUI program that activates another one
// has), shows the desktop (floor_reveal.h) and ends. Whatever a second start
// of quorvel.exe costs beyond this is its own work.
#include <windows.h>

#include "floor_reveal.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = instance;
    cls.lpszClassName = "QuorvelBenchShowDesktop";
    RegisterClassA(&cls);
    CreateWindowExA(0, cls.lpszClassName, "show desktop", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                    instance, nullptr);
    return bench::RevealDesktop();
}
