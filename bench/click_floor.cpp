// The fair floor of a click on the taskbar button: the least resident
// program that shows the desktop when its own button is clicked. Its one
// window, titled by the command line's first word, rests minimised off the
// screen with its taskbar button; a click restores and activates it, and
// once that activation has been handled (posted, as quorvel.exe raises its
// Activate) it activates "Program Manager", waits until that window is ready
// for keys (in front, and its thread has given it the focus), sends Tab and
// Alt+M (floor_reveal.h), and rests minimised again without taking the
// activation. Given "wait", it sends the keys as Windows' shell needs them.
// Whatever a click on quorvel.exe's button costs beyond this is its own.
#include <windows.h>

#include "floor_reveal.h"

namespace {

constexpr UINT kReveal = WM_APP + 1;

bool wait = false;

void Reveal(HWND self) {
    bench::RevealDesktop(wait);
    ShowWindow(self, SW_SHOWMINNOACTIVE);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
        PostMessageA(hwnd, kReveal, 0, 0);
    } else if (msg == kReveal) {
        Reveal(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = Proc;
    cls.hInstance = instance;
    cls.lpszClassName = "QuorvelBenchClick";
    RegisterClassA(&cls);
    char title[64] = "Click floor";
    if (commandLine[0] != '\0') {
        int length = 0;
        while (commandLine[length] != '\0' && commandLine[length] != ' ' && length < 63) ++length;
        lstrcpynA(title, commandLine, length + 1);
    }
    wait = bench::HasWord(commandLine, "wait");
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, cls.lpszClassName, title,
                                  WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, -167, -167, 10, 10,
                                  nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    // Wine's taskbar looks at an inactive window again on its caption
    // notifications only.
    SendMessageA(window, WM_NCACTIVATE, FALSE, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
