// A second floor: the least a program with quorvel.exe's make-up does under
// Wine before it can be seen. It carries the same manifest (common controls
// 6), shows one window with one button, handles what the show queued, and
// ends; with "stay" it keeps the window and waits for messages, doing
// nothing. Compared with bench/empty.cpp it splits the platform's own start-up
// of a GUI program (the display driver, the theming library) from ours.
#include <windows.h>

#include <commctrl.h>  // after windows.h, which it needs

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = instance;
    cls.lpszClassName = "QuorvelBenchWindow";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, cls.lpszClassName, "window", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                  100, nullptr, nullptr, instance, nullptr);
    CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, window, nullptr,
                    instance, nullptr);
    ShowWindow(window, SW_SHOW);
    MSG msg;
    if (std::strcmp(commandLine, "stay") == 0) {
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    }
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    DestroyWindow(window);
    return 0;
}
