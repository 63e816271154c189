// A stand-in for the desktop shell's window in Wine sessions, which have none:
// a window titled "Program Manager" that, while active, takes Tab (the focus
// moves to the taskbar) and then Alt+M (minimise every window), as the shell
// does. Given a file name, it appends one line per minimise-all:
//   minimise-all <milliseconds since 1970, with microseconds> <windows minimised>
// A test and demo aid only; the program never depends on it.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string g_log;
bool g_taskbarFocus = false;
HWND g_self = nullptr;

double NowMs() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return (static_cast<double>(t.QuadPart) - 116444736000000000.0) / 10000.0;
}

BOOL CALLBACK MinimiseOne(HWND hwnd, LPARAM count) {
    if (hwnd == g_self || !IsWindowVisible(hwnd) || IsIconic(hwnd)) return TRUE;
    if (GetWindow(hwnd, GW_OWNER) != nullptr) return TRUE;
    // Only windows that can be minimised, as the shell's command does.
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & WS_MINIMIZEBOX)) return TRUE;
    // Async: a program that does not pump messages must not hold us up.
    ShowWindowAsync(hwnd, SW_MINIMIZE);
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

void MinimiseAll() {
    double when = NowMs();
    int count = 0;
    EnumWindows(MinimiseOne, reinterpret_cast<LPARAM>(&count));
    if (g_log.empty()) return;
    if (FILE* f = std::fopen(g_log.c_str(), "a")) {
        std::fprintf(f, "minimise-all %.3f %d\n", when, count);
        std::fclose(f);
    }
}

LRESULT CALLBACK ShellProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                g_taskbarFocus = false;  // the focus starts on the desktop
                SetFocus(hwnd);
            }
            return 0;
        case WM_KEYDOWN:
            g_taskbarFocus = wParam == VK_TAB;
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == 'M' && g_taskbarFocus) {
                g_taskbarFocus = false;
                MinimiseAll();
                return 0;
            }
            if (wParam != VK_MENU) g_taskbarFocus = false;
            return 0;
        case WM_SYSCHAR:
        case WM_CHAR:
            return 0;  // no beep, no window menu
        case WM_DESTROY:
            if (hwnd == g_self) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    g_log = commandLine;
    if (g_log.size() >= 2 && g_log.front() == '"' && g_log.back() == '"') {
        g_log = g_log.substr(1, g_log.size() - 2);
    }
    WNDCLASSA cls{};
    cls.lpfnWndProc = ShellProc;
    cls.hInstance = instance;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BACKGROUND + 1);
    cls.lpszClassName = "QuorvelStandInShell";
    RegisterClassA(&cls);
    // Tiny and in the corner: on the screen, so it can be activated, but out
    // of the way; owned by a hidden window, so the taskbar shows no button.
    HWND owner = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 instance, nullptr);
    g_self = CreateWindowExA(WS_EX_TOOLWINDOW, cls.lpszClassName, "Program Manager",
                             WS_POPUP | WS_VISIBLE, 0, 0, 2, 2, owner, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
