// The fair floor of a start to ready and of the idle memory: the least
// resident program with a taskbar button that shows the desktop. It shows
// one window without activating it (as quorvel.exe shows its taskbar form),
// makes sure the taskbar has its button, and waits for messages. A click on
// its button activates it, and it shows the desktop as the least
// show-desktop command does (floor_reveal.h), so that after as many clicks
// as quorvel.exe has had, what quorvel.exe holds beyond it is its own. The
// window sits off the screen, where quorvel.exe keeps its own; its title,
// given on the command line, is what the probe waits for.
#include <windows.h>

#include "floor_reveal.h"

namespace {

constexpr UINT kReveal = WM_APP;

LRESULT CALLBACK FloorProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Revealed from a posted message, once the click that activated the
    // window is over: a click on a minimised window's button may activate it
    // more than once, and the shell takes the keys only once it is in front.
    if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        PostMessageA(window, kReveal, 0, 0);
    } else if (msg == kReveal) {
        // One reveal a click: a second activation of the same click finds
        // the shell in front already.
        if (GetForegroundWindow() == window) bench::RevealDesktop();
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = FloorProc;
    cls.hInstance = instance;
    cls.lpszClassName = "QuorvelBenchResident";
    RegisterClassA(&cls);
    const char* title = commandLine[0] != '\0' ? commandLine : "Resident floor";
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, cls.lpszClassName, title,
                                  WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, -167, -167, 10, 10,
                                  nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNA);
    // Wine's taskbar looks at an inactive window again on its caption
    // notifications only; a caption notification of the inactive state makes
    // it add the button.
    SendMessageA(window, WM_NCACTIVATE, FALSE, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
