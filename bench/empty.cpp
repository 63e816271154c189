// The floor the benchmarks measure quorvel.exe against: an empty Win32 GUI
// program, built the same way. Without arguments it ends at once; with
// "stay" it keeps one hidden window and a message loop, doing nothing.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    if (std::strcmp(commandLine, "stay") != 0) return 0;
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = instance;
    cls.lpszClassName = "QuorvelBenchEmpty";
    RegisterClassA(&cls);
    CreateWindowExA(0, cls.lpszClassName, "empty", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                    nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
