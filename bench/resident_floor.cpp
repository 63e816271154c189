// The fair floor of a start to ready: the least resident program with a
// taskbar button. It shows one window without activating it (as quorvel.exe
// shows Form1), makes sure the taskbar has its button, and waits for messages,
// doing nothing. The window sits off the screen, where quorvel.exe keeps its
// own; its title, given on the command line, is what the probe waits for.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
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
